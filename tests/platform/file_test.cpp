// CFile: open modes, quiet open failures with their causes, code page 936
// paths, transfers, seeking, renaming and removing, and the exceptions of a
// closed file.
#include <corvane/platform/afx_file.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
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
  EXPECT_EQ(file.GetLength(), 4u);
  file.Write("\x09", 1);  // at the start: overwrites the first byte
  EXPECT_EQ(ReadAll(onDisk), (Bytes{9, 2, 3, 4}));
  EXPECT_TRUE(file.GetFilePath() == path.c_str());
  ASSERT_TRUE(
      file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
  EXPECT_EQ(file.GetLength(), 0u);
  file.Write("xy", 2);
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(ReadAll(onDisk), (Bytes{'x', 'y'}));
  EXPECT_EQ(dir.Entries().size(), 1u);
}

TEST(FileTest, OpenFailuresAreQuietAndFillTheRecord) {
  ScratchDir dir;
  const struct {
    std::string path;
    UINT mode;
    int cause;
  } cases[] = {
      {dir.Path("missing.bin"), CFile::modeRead, CFileException::fileNotFound},
      {dir.Path("no/dir.bin"), CFile::modeCreate | CFile::modeWrite, CFileException::fileNotFound},
      {dir.Dir().string(), CFile::modeRead, CFileException::accessDenied},  // a folder is no file
      {"", CFile::modeRead, CFileException::fileNotFound},
      {dir.Path("bad\xFF"), CFile::modeCreate | CFile::modeWrite, CFileException::badPath},
  };
  CFile file;
  for (const auto& c : cases) {
    CFileException error;
    EXPECT_FALSE(file.Open(c.path.c_str(), c.mode, &error)) << c.path;
    EXPECT_EQ(error.m_cause, c.cause) << c.path;
    EXPECT_TRUE(c.cause != CFileException::fileNotFound || error.m_lOsError == ENOENT);
  }
  EXPECT_FALSE(file.Open(nullptr, CFile::modeRead));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(dir.Entries().size(), 0u);
}

TEST(FileTest, ReadIsShortOnlyAtTheEndSeekMovesAndAClosedFileThrows) {
  ScratchDir dir;
  const std::string path = dir.Path("r.bin");
  WriteAll(path, {10, 11, 12, 13, 14});
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
  char byte;
  EXPECT_EQ(FileCause([&] { file.Read(&byte, 1); }), CFileException::invalidFile);
  EXPECT_EQ(FileCause([&] { file.Write(&byte, 1); }), CFileException::invalidFile);
  EXPECT_EQ(FileCause([&] { file.GetLength(); }), CFileException::invalidFile);
  file.Close();  // closing a closed file is harmless
  file.Abort();
}

TEST(FileTest, RenameReplacesAndRemoveDeletes) {
  ScratchDir dir;
  const std::string from = dir.Path("from"), to = dir.Path("to"), bad = dir.Path("bad\xFF");
  WriteAll(from, {1});
  WriteAll(to, {2, 2});
  CFile::Rename(from.c_str(), to.c_str());
  EXPECT_EQ(ReadAll(to), (Bytes{1}));
  EXPECT_EQ(FileCause([&] { CFile::Rename(from.c_str(), to.c_str()); }),
            CFileException::fileNotFound);
  EXPECT_EQ(FileCause([&] { CFile::Rename(to.c_str(), bad.c_str()); }), CFileException::badPath);
  EXPECT_EQ(FileCause([&] { CFile::Remove(bad.c_str()); }), CFileException::badPath);
  CFile::Remove(to.c_str());
  EXPECT_EQ(dir.Entries().size(), 0u);
  EXPECT_EQ(FileCause([&] { CFile::Remove(to.c_str()); }), CFileException::fileNotFound);
}

}  // namespace
