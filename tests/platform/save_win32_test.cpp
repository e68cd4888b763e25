// Saves on Windows as a host sees them, through each save a host has: the
// read-only attribute refuses a save as opening the file would, a file with
// two hard links is written in place, a file another process holds open is
// kept whole whatever happens, a code page 936 path names the file by its
// real (UTF-16) name, and every framework exception crosses the DLL.
#include <corvane/corvane.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/every_save.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using namespace corvane_test;

constexpr char kOld[] = "old content";

std::wstring Wide(const std::string& utf8) { return FsPath(utf8).wstring(); }

class WindowsSaveTest : public ::testing::TestWithParam<Save> {
 protected:
  bool Is(const char* name) const { return std::string(GetParam().name) == name; }
  bool Run(const std::string& path, int& cause) { return GetParam().run(path, cause); }
  ScratchDir m_dir;
};

TEST_P(WindowsSaveTest, TheReadOnlyAttributeRefusesAndHardLinksAreWrittenInPlace) {
  const std::string readOnly = m_dir.Path("read-only"), linked = m_dir.Path("linked");
  WriteText(readOnly, kOld);
  ASSERT_TRUE(::SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
  int cause = -1;
  const bool reported = Run(readOnly, cause);
  EXPECT_EQ(ReadText(readOnly), kOld);
  EXPECT_FALSE(Is("CXml") && reported);
  EXPECT_EQ(cause, -1) << "quiet, as for any file that cannot be opened";
  ::SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);

  WriteText(linked, kOld);
  const std::string other = m_dir.Path("other name");
  ASSERT_TRUE(::CreateHardLinkW(Wide(other).c_str(), Wide(linked).c_str(), nullptr));
  ASSERT_TRUE(Run(linked, cause));
  EXPECT_NE(ReadText(linked), kOld);
  EXPECT_EQ(ReadText(other), ReadText(linked)) << "both names see the new content";
  EXPECT_EQ(m_dir.Entries().size(), 3u) << "no temporary is left";
}

TEST_P(WindowsSaveTest, AFileHeldOpenWithoutDeleteSharingIsNeverLost) {
  const std::string path = m_dir.Path("held");
  WriteText(path, kOld);
  const HANDLE held =
      ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  int cause = -1;
  bool reported = false;
  try {
    reported = Run(path, cause);
  } catch (...) {
    ADD_FAILURE() << "a save throws only what its API says";
  }
  ::CloseHandle(held);
  const std::string now = ReadText(path);
  // The new content, or the old one and a failure the API reports.
  EXPECT_TRUE(now != kOld || !reported || Is("XmlFileIO")) << now;
  EXPECT_FALSE(now.empty());
  ASSERT_TRUE(Run(path, cause)) << "the next save succeeds";
  if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr &&
      m_dir.Entries().size() > 1) {
    GTEST_SKIP() << "Wine's ReplaceFileW moves a file held open aside under a name of its own "
                    "(rf*.tmp) where Windows refuses and changes nothing; what the save keeps "
                    "is checked above";
  }
  EXPECT_EQ(m_dir.Entries(), std::set<std::string>{"held"})
      << "no temporary outlives the next save";
}

INSTANTIATE_TEST_SUITE_P(EverySave, WindowsSaveTest, ::testing::ValuesIn(kSaves),
                         [](const auto& info) { return std::string(info.param.name); });

// The name on the disk, as the Linux side of Wine's drive shows it (Wine
// exports the mapping), or "" on Windows itself.
std::string UnixName(const std::wstring& path) {
  typedef char*(CDECL * UnixFileName)(const wchar_t*);
  const auto toUnix = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return std::string();
  char* name = toUnix(path.c_str());
  const std::string result = name != nullptr ? name : "";
  ::HeapFree(::GetProcessHeap(), 0, name);
  return result;
}

TEST(WindowsPaths, ACodePage936PathNamesTheFileByItsRealName) {
  ScratchDir dir;
  const std::string narrow = dir.Path("\xCD\xBC\xD6\xBD.xml");        // 图纸.xml in GBK
  const std::string utf8 = dir.Path("\xE5\x9B\xBE\xE7\xBA\xB8.xml");  // and in UTF-8
  boost::shared_ptr<IChunk> root = newChunk("R");
  root->addChild(newChunk("Layer", "\xC7\xBD\xCC\xE5", 1));  // 墙体
  XmlFileIO(narrow.c_str()).save(root);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"\xE5\x9B\xBE\xE7\xBA\xB8.xml"}));
  const std::string unixName = UnixName(Wide(utf8));
  if (!unixName.empty()) {
    EXPECT_EQ(unixName.substr(unixName.size() - 10), "\xE5\x9B\xBE\xE7\xBA\xB8.xml");
  }
  EXPECT_CONFORMING_XML(utf8);
  boost::shared_ptr<IChunk> back, none;
  XmlFileIO(narrow.c_str()).read(back);
  ASSERT_TRUE(back && back->ChildByName("\xC7\xBD\xCC\xE5"));
  XmlFileIO(dir.Path("\x81\x7F.xml").c_str()).read(none);
  EXPECT_FALSE(none) << "bytes that are not code page 936 name no file";
}

TEST(WindowsDll, EveryFrameworkExceptionIsCaughtAcrossTheDll) {
  ScratchDir dir;
  EXPECT_EQ(CaughtCause<CFileException>([&] { CFile::Remove(dir.Path("none").c_str()); }),
            CFileException::fileNotFound);
  CMeshBin bin;
  WriteText(dir.Path("short.bin"), "\x01");
  EXPECT_EQ(CaughtCause<CArchiveException>([&] { bin.load(dir.Path("short.bin").c_str()); }),
            CArchiveException::endOfFile);
  try {
    CFile::Rename(dir.Path("none").c_str(), dir.Path("other").c_str());
    ADD_FAILURE() << "nothing thrown";
  } catch (CException* error) {  // as the base class
    EXPECT_TRUE(dynamic_cast<CFileException*>(error) != nullptr);
    error->Delete();
  }
  try {
    AfxThrowArchiveException(CArchiveException::badSchema, "x");
  } catch (CArchiveException* error) {
    EXPECT_EQ(error->m_cause, CArchiveException::badSchema);
    error->Delete();
  }
}

}  // namespace
