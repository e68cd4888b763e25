// What a loading archive promises about the bytes ahead: how many of a
// wanted number are known to be there (buffered or left in the file), and
// runs of buffered bytes taken in place.
#include "platform/archive_read_ahead.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST_F(ArchiveReadAheadTest, LoadableBytesAndTakenRunsStayWithinWhatIsThere) {
  CArchive ar(&file, CArchive::load, 64), pipe(&lengthless, CArchive::load, 64);
  EXPECT_EQ(ReadAhead::TakeBuffered(ar, 1), nullptr);  // nothing buffered yet
  BYTE value, rest[95];
  const ULONGLONG before[] = {ReadAhead::LoadableBytes(ar, 1000), ReadAhead::LoadableBytes(ar, 7),
                              ReadAhead::LoadableBytes(pipe, 50)};
  ar >> value;  // the buffer now holds 63 unread bytes, the file 36 more
  pipe >> value;
  const BYTE* run = ReadAhead::TakeBuffered(ar, 3);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(Bytes(run, run + 3), (Bytes{1, 2, 3}));
  EXPECT_EQ(ReadAhead::TakeBuffered(ar, 61), nullptr);  // 60 left in the buffer
  const ULONGLONG after[] = {ReadAhead::LoadableBytes(ar, 0xFFFFFFFFFFull),
                             ReadAhead::LoadableBytes(pipe, 50),
                             ReadAhead::LoadableBytes(pipe, 1000)};
  EXPECT_EQ((std::vector<ULONGLONG>(before, before + 3)), (std::vector<ULONGLONG>{100, 7, 0}));
  EXPECT_EQ((std::vector<ULONGLONG>(after, after + 3)), (std::vector<ULONGLONG>{96, 50, 63}));
  ar >> value;
  EXPECT_EQ(value, 4);  // the taken run was consumed
  EXPECT_EQ(ar.Read(rest, 95), 95u);
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 1), 0u);
  ar.Close();
  EXPECT_EQ(ReadAhead::LoadableBytes(ar, 1), 0u);
  CFile out;
  ASSERT_TRUE(out.Open(dir.Path("out.bin").c_str(), CFile::modeCreate | CFile::modeWrite));
  CArchive storing(&out, CArchive::store, 64);
  storing << value;
  EXPECT_TRUE(ReadAhead::TakeBuffered(storing, 1) == nullptr &&
              ReadAhead::LoadableBytes(storing, 1) == 0u);
}

}  // namespace
