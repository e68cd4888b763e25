// CFile: open modes, quiet open failures with their causes, code page 936
// paths, transfers, seeking, renaming and removing, and the exceptions of a
// closed file.
#include <corvane/platform/afx_file.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;

int FileCause(const std::function<void()>& body) { return CaughtCause<CFileException>(body); }

TEST(FileTest, CreateTruncatesUnlessToldToKeep) {
  ScratchDir dir;
  const std::string path = dir.Path("a.bin");
  WriteAll(path, {1, 2, 3, 4});
  {
    CFile file;
    ASSERT_TRUE(
        file.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 4u);
    file.Write("\x09", 1);  // at the start: overwrites the first byte
  }
  EXPECT_EQ(ReadAll(path), (Bytes{9, 2, 3, 4}));
  CFile file;
  ASSERT_TRUE(
      file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
  EXPECT_EQ(file.GetLength(), 0u);
  file.Write("xy", 2);
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(ReadAll(path), (Bytes{'x', 'y'}));
}

TEST(FileTest, OpenFailuresAreQuietAndFillTheRecord) {
  ScratchDir dir;
  const struct {
    std::string path;
    UINT mode;
    int cause;
  } cases[] = {
      {dir.Path("missing.bin"), CFile::modeRead, CFileException::fileNotFound},
      {dir.Path("no/such/dir.bin"), CFile::modeCreate | CFile::modeWrite,
       CFileException::fileNotFound},
      {dir.Dir().string(), CFile::modeRead,
       CFileException::accessDenied},  // a directory is no file
      {"", CFile::modeRead, CFileException::fileNotFound},
  };
  CFile file;
  for (const auto& c : cases) {
    CFileException error;
    EXPECT_FALSE(file.Open(c.path.c_str(), c.mode, &error)) << c.path;
    EXPECT_EQ(error.m_cause, c.cause) << c.path;
  }
  CFileException error;
  EXPECT_FALSE(file.Open(dir.Path("missing.bin").c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_lOsError, ENOENT);
  EXPECT_FALSE(file.Open(nullptr, CFile::modeRead));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(dir.Entries().size(), 0u);
}

TEST(FileTest, NarrowPathsAreCodePage936) {
  ScratchDir dir;
  const std::string narrow =
      dir.Path("\xD6\xD0\xCE\xC4.bin");  // "中文.bin"; the file system sees UTF-8
  CFile file;
  ASSERT_TRUE(file.Open(narrow.c_str(), CFile::modeCreate | CFile::modeWrite));
  EXPECT_TRUE(file.GetFilePath() == narrow.c_str());
  EXPECT_TRUE(std::filesystem::exists(dir.Dir() / "\xE4\xB8\xAD\xE6\x96\x87.bin"));
}

TEST(FileTest, ReadIsShortOnlyAtTheEndAndSeekMoves) {
  ScratchDir dir;
  const std::string path = dir.Path("r.bin");
  WriteAll(path, {10, 11, 12, 13, 14});
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  unsigned char out[8] = {};
  EXPECT_EQ(file.Read(out, 2), 2u);
  EXPECT_EQ(file.GetPosition(), 2u);
  EXPECT_EQ(file.Read(out, 8), 3u);
  EXPECT_EQ(out[0], 12);
  EXPECT_EQ(file.Read(out, 8), 0u);
  EXPECT_EQ(file.Seek(-4, CFile::end), 1u);
  EXPECT_EQ(file.Read(out, 1), 1u);
  EXPECT_EQ(out[0], 11);
  EXPECT_EQ(FileCause([&] { file.Seek(-100, CFile::current); }), CFileException::badSeek);
  EXPECT_EQ(FileCause([&] { file.Write("x", 1); }),
            CFileException::accessDenied);  // opened for reading
}

TEST(FileTest, FailuresOfTheFileItselfThrowTheirCause) {
  CFile closed;
  char byte;
  EXPECT_EQ(FileCause([&] { closed.Read(&byte, 1); }), CFileException::invalidFile);
  EXPECT_EQ(FileCause([&] { closed.Write(&byte, 1); }), CFileException::invalidFile);
  EXPECT_EQ(FileCause([&] { closed.GetLength(); }), CFileException::invalidFile);
  closed.Close();  // closing a closed file is harmless
  closed.Abort();
  EXPECT_FALSE(closed.IsOpen());
}

TEST(FileTest, RenameReplacesAndRemoveDeletes) {
  ScratchDir dir;
  const std::string from = dir.Path("from"), to = dir.Path("to");
  WriteAll(from, {1});
  WriteAll(to, {2, 2});
  CFile::Rename(from.c_str(), to.c_str());
  EXPECT_EQ(ReadAll(to), (Bytes{1}));
  EXPECT_EQ(FileCause([&] { CFile::Rename(from.c_str(), to.c_str()); }),
            CFileException::fileNotFound);
  CFile::Remove(to.c_str());
  EXPECT_EQ(dir.Entries().size(), 0u);
  EXPECT_EQ(FileCause([&] { CFile::Remove(to.c_str()); }), CFileException::fileNotFound);
}

}  // namespace
