// What a loading archive promises about the bytes ahead: how many of a
// wanted number are known to be there (buffered or left in the file), and
// runs of buffered bytes taken in place.
#include "platform/archive_read_ahead.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;
using ReadAhead = corvane::platform::ArchiveReadAhead;

// A file that cannot tell its length, as a pipe cannot.
class LengthlessFile : public CFile {
 public:
  ULONGLONG GetLength() const override { AfxThrowFileException(CFileException::badSeek, 29); }
};

// Both files open on the bytes 0, 1, ... 99; archives over them use a 64-byte buffer.
class ArchiveReadAheadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ByteBuilder bytes;
    for (unsigned i = 0; i < 100; ++i) bytes.U8(i);
    WriteAll(path, bytes.bytes());
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead) &&
                lengthless.Open(path.c_str(), CFile::modeRead));
  }
  ScratchDir dir;
  const std::string path = dir.Path("ahead.bin");
  CFile file;
  LengthlessFile lengthless;
};

TEST_F(ArchiveReadAheadTest, LoadableBytesCountTheBufferAndWhatTheFileIsKnownToHold) {
  CArchive ar(&file, CArchive::load, 64), pipe(&lengthless, CArchive::load, 64);
  BYTE first, rest[99];
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 1000), 100u);
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 7), 7u);
  EXPECT_EQ(ReadAhead::LoadableBytes(pipe, 50), 0u);
  ar >> first;  // the buffer now holds 63 unread bytes, the file 36 more
  pipe >> first;
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 0xFFFFFFFFFFull), 99u);
  EXPECT_EQ(ReadAhead::LoadableBytes(pipe, 50), 50u);
  EXPECT_EQ(ReadAhead::LoadableBytes(pipe, 1000), 63u);
  EXPECT_EQ(ar.Read(rest, 99), 99u);
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 1), 0u);
  ar.Close();
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 1), 0u);
}

TEST_F(ArchiveReadAheadTest, TakenBytesAreConsumedInOrderAndAShortRunTakesNothing) {
  CArchive ar(&file, CArchive::load, 64);
  EXPECT_EQ(ReadAhead::TakeBuffered(ar, 1), nullptr);  // nothing buffered yet
  BYTE value;
  ar >> value;
  const BYTE* run = ReadAhead::TakeBuffered(ar, 3);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(Bytes(run, run + 3), (Bytes{1, 2, 3}));
  EXPECT_EQ(ReadAhead::TakeBuffered(ar, 61), nullptr);  // 60 left in the buffer
  ar >> value;
  EXPECT_EQ(value, 4);
  CFile out;
  ASSERT_TRUE(out.Open(dir.Path("out.bin").c_str(), CFile::modeCreate | CFile::modeWrite));
  CArchive storing(&out, CArchive::store, 64);
  storing << value;
  EXPECT_EQ(ReadAhead::TakeBuffered(storing, 1), nullptr);
  EXPECT_EQ(ReadAhead::LoadableBytes(storing, 1), 0u);
}

}  // namespace
