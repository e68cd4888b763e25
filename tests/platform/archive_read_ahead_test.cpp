// What a loading archive promises about the bytes ahead: how many of a
// wanted number are known to be there (buffered or left in the file), and
// runs of buffered bytes taken in place.
#include "platform/archive_read_ahead.h"

#include <gtest/gtest.h>

#include <string>

#include "support/lengthless_file.h"
#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;
using ReadAhead = corvane::platform::ArchiveReadAhead;

TEST(ArchiveReadAheadTest, LoadableBytesAndTakenRunsStayWithinWhatIsThere) {
  ScratchDir dir;
  const std::string path = dir.Path("ahead.bin");
  ByteBuilder bytes;  // 0, 1, ... 99, read through 64-byte buffers
  for (unsigned i = 0; i < 100; ++i) bytes.U8(i);
  WriteAll(path, bytes.bytes());
  CFile file;
  LengthlessFile lengthless;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  ASSERT_TRUE(lengthless.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load, 64), pipe(&lengthless, CArchive::load, 64);
  EXPECT_EQ(ReadAhead::TakeBuffered(ar, 1), nullptr);  // nothing buffered yet
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 1000), 100u);
  EXPECT_EQ(ReadAhead::LoadableBytes(pipe, 50), 0u);  // only what is buffered counts
  BYTE value, rest[97];
  ar >> value;  // the buffer now holds 63 unread bytes, the file 36 more
  pipe >> value;
  const BYTE* run = ReadAhead::TakeBuffered(ar, 3);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(Bytes(run, run + 3), (Bytes{1, 2, 3}));
  EXPECT_EQ(ReadAhead::TakeBuffered(ar, 61), nullptr);  // 60 left in the buffer
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 0xFFFFFFFFFFull), 96u);
  EXPECT_EQ(ReadAhead::LoadableBytes(pipe, 1000), 63u);
  EXPECT_EQ(ar.Read(rest, 97), 96u);
  EXPECT_EQ(rest[0], 4) << "the taken run was consumed";
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 1), 0u);
}

}  // namespace
