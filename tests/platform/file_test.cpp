// CFile: open modes, quiet open failures with their causes, code page 936
// paths, transfers, seeking, renaming and removing, and the exceptions of a
// closed file.
#include <corvane/platform/afx_file.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;

int FileCause(const std::function<void()>& body) { return CaughtCause<CFileException>(body); }

TEST(FileTest, CreateTruncatesUnlessToldToKeepAndPathsAreCodePage936) {
  ScratchDir dir;
  const std::string path = dir.Path("\xD6\xD0\xCE\xC4.bin");            // "中文.bin"
  const std::string onDisk = dir.Path("\xE4\xB8\xAD\xE6\x96\x87.bin");  // in UTF-8
  WriteAll(onDisk, {1, 2, 3, 4});
  CFile file;
  ASSERT_TRUE(
      file.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
  file.Write("\x09", 1);  // at the start: overwrites the first byte
  EXPECT_EQ(file.GetLength(), 4u);
  EXPECT_EQ(file.GetFilePath(), path.c_str());
  EXPECT_EQ(ReadAll(onDisk), (Bytes{9, 2, 3, 4}));
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));  // closes the first
  file.Write("xy", 2);
  file.Close();
  EXPECT_EQ(ReadAll(onDisk), (Bytes{'x', 'y'}));
  EXPECT_EQ(dir.Entries().size(), 1u);
}

TEST(FileTest, OpenFailuresAreQuietAndFillTheRecord) {
  ScratchDir dir;
  // A missing folder is a bad path to Windows, a missing name to POSIX.
#if defined(_WIN32)
  const int missingFolder = CFileException::badPath;
#else
  const int missingFolder = CFileException::fileNotFound;
#endif
  const std::pair<std::string, int> cases[] = {
      {dir.Path("no/dir.bin"), missingFolder},
      {dir.Dir().string(), CFileException::accessDenied},   // a folder is no file
      {dir.Path("bad\x81\x7F"), CFileException::badPath}};  // no trail byte is 0x7F
  CFile file;
  for (const auto& c : cases) {
    CFileException error;
    EXPECT_FALSE(file.Open(c.first.c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, c.second) << c.first;
    EXPECT_TRUE(c.second != CFileException::fileNotFound || error.m_lOsError == ENOENT);
    EXPECT_NE(error.m_lOsError, 0) << "the system's code of the failure";
  }
  EXPECT_FALSE(file.Open(nullptr, CFile::modeRead));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(dir.Entries().size(), 0u);
}

TEST(FileTest, ReadIsShortOnlyAtTheEndSeekMovesAClosedFileThrowsAndRenameReplaces) {
  ScratchDir dir;
  const std::string path = dir.Path("r.bin"), to = dir.Path("to");
  WriteAll(path, {10, 11, 12, 13, 14});
  WriteAll(to, {2, 2});
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  unsigned char out[8] = {};
  const std::vector<ULONGLONG> results{file.Read(out, 2),         file.GetPosition(),
                                       file.Read(out + 2, 8),     file.Read(out, 8),
                                       file.Seek(-4, CFile::end), file.Seek(1, CFile::current),
                                       file.Read(out, 1)};
  EXPECT_EQ(results, (std::vector<ULONGLONG>{2, 2, 3, 0, 1, 2, 1}));
  EXPECT_EQ(Bytes(out, out + 5), (Bytes{12, 11, 12, 13, 14}));
  EXPECT_EQ(FileCause([&] { file.Seek(-100, CFile::current); }), CFileException::badSeek);
  EXPECT_EQ(FileCause([&] { file.Write("x", 1); }), CFileException::accessDenied);  // read-only
  file.Close();
  EXPECT_EQ(FileCause([&] { file.GetLength(); }), CFileException::invalidFile);
  CFile::Rename(path.c_str(), to.c_str());
  EXPECT_EQ(ReadAll(to), (Bytes{10, 11, 12, 13, 14}));
  CFile::Remove(to.c_str());
  EXPECT_EQ(dir.Entries().size(), 0u);
  EXPECT_EQ(FileCause([&] { CFile::Remove(to.c_str()); }), CFileException::fileNotFound);
}

}  // namespace
