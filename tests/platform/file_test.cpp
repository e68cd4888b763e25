// CFile: open modes, quiet open failures with their causes, code page 936
// paths, transfers, seeking, renaming and removing, and the exceptions of a
// closed file.
#include <corvane/platform/afx_file.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/scratch_dir.h"

namespace {

using corvane_test::Bytes;
using corvane_test::ReadAll;
using corvane_test::ScratchDir;
using corvane_test::WriteAll;

template <typename Body>
int FileCause(Body body) {
  try {
    body();
  } catch (CFileException* error) {
    const int cause = error->m_cause;
    error->Delete();
    return cause;
  }
  return -1;
}

TEST(FileTest, CreateTruncatesUnlessToldToKeep) {
  ScratchDir dir;
  const std::string path = dir.Path("a.bin");
  WriteAll(path, {1, 2, 3, 4});
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                                            CFile::shareDenyNone));
    EXPECT_EQ(file.GetLength(), 4u);
    file.Write("\x09", 1);  // at the start: overwrites the first byte
  }
  EXPECT_EQ(ReadAll(path), (Bytes{9, 2, 3, 4}));
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    EXPECT_EQ(file.GetLength(), 0u);
    file.Write("xy", 2);
    file.Flush();
    file.Close();
    EXPECT_FALSE(file.IsOpen());
  }
  EXPECT_EQ(ReadAll(path), (Bytes{'x', 'y'}));
}

TEST(FileTest, OpenFailuresAreQuietAndFillTheRecord) {
  ScratchDir dir;
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(dir.Path("missing.bin").c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(error.m_lOsError, ENOENT);
  EXPECT_FALSE(file.Open(dir.Path("no/such/dir.bin").c_str(), CFile::modeCreate | CFile::modeWrite, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  // A directory does not open as a file, in any mode.
  EXPECT_FALSE(file.Open(dir.Dir().string().c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::accessDenied);
  EXPECT_FALSE(file.Open(NULL, CFile::modeRead));
  EXPECT_FALSE(file.Open("", CFile::modeRead));
  EXPECT_FALSE(file.IsOpen());
}

TEST(FileTest, NarrowPathsAreCodePage936) {
  ScratchDir dir;
  // "中文.bin" in code page 936; the file system sees UTF-8.
  const std::string narrow = dir.Path("\xD6\xD0\xCE\xC4.bin");
  {
    CFile file;
    ASSERT_TRUE(file.Open(narrow.c_str(), CFile::modeCreate | CFile::modeWrite));
    file.Write("z", 1);
    EXPECT_TRUE(file.GetFilePath() == narrow.c_str());
  }
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
  // Writing through a file opened for reading is refused by the system.
  EXPECT_EQ(FileCause([&] { file.Write("x", 1); }), CFileException::accessDenied);
}

TEST(FileTest, ClosedFileThrowsInvalidFile) {
  CFile file;
  char byte;
  EXPECT_EQ(FileCause([&] { file.Read(&byte, 1); }), CFileException::invalidFile);
  EXPECT_EQ(FileCause([&] { file.Write(&byte, 1); }), CFileException::invalidFile);
  EXPECT_EQ(FileCause([&] { file.GetLength(); }), CFileException::invalidFile);
  file.Close();  // closing a closed file is harmless
  file.Abort();
}

TEST(FileTest, FullDeviceRaisesDiskFull) {
  CFile file;
  if (!file.Open("/dev/full", CFile::modeWrite)) GTEST_SKIP() << "no /dev/full here";
  char block[64] = {};
  EXPECT_EQ(FileCause([&] { file.Write(block, sizeof block); }), CFileException::diskFull);
}

TEST(FileTest, RenameReplacesAndRemoveDeletes) {
  ScratchDir dir;
  const std::string from = dir.Path("from"), to = dir.Path("to");
  WriteAll(from, {1});
  WriteAll(to, {2, 2});
  CFile::Rename(from.c_str(), to.c_str());
  EXPECT_EQ(ReadAll(to), (Bytes{1}));
  EXPECT_FALSE(std::filesystem::exists(from));
  EXPECT_EQ(FileCause([&] { CFile::Rename(from.c_str(), to.c_str()); }), CFileException::fileNotFound);
  CFile::Remove(to.c_str());
  EXPECT_EQ(dir.EntryCount(), 0u);
  EXPECT_EQ(FileCause([&] { CFile::Remove(to.c_str()); }), CFileException::fileNotFound);
}

}  // namespace
