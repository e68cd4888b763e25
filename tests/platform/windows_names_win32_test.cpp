// A host source file that includes <windows.h> before the library's header
// (save_win32_test.cpp includes it after): both orders compile, and the
// Windows-style names are the system's own.
#include <windows.h>
// The order is the point of this file.
#include <corvane/corvane.h>
#include <gtest/gtest.h>

#include <type_traits>

#include "support/scratch_dir.h"

static_assert(sizeof(DWORD) == 4 && std::is_same<DWORD, unsigned long>::value, "DWORD");
static_assert(std::is_same<HRESULT, long>::value && std::is_same<LONG, long>::value, "LONG");
static_assert(std::is_same<UINT_PTR, unsigned long long>::value, "UINT_PTR is pointer-sized");

TEST(WindowsNames, ArchivesStoreTheSystemsDwordInFourBytes) {
  corvane_test::ScratchDir dir;
  const std::string path = dir.Path("dword.bin");
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
  {
    CArchive ar(&file, CArchive::store);
    ar << DWORD{0xFFFFFFFEu};
  }
  file.Close();
  EXPECT_EQ(corvane_test::ReadAll(path), (corvane_test::Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  DWORD back = 0;
  ar >> back;
  EXPECT_EQ(back, 0xFFFFFFFEu);
}
