// CXml::Save's all-or-nothing writing: a failed save leaves no file, no
// temporary file and any earlier file as it was.
#include <corvane/xmldom/xml.h>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "xmldom/xml_test_support.h"

namespace {

using DomXml::CXml;
using xmldom_test::ReadBytes;
using xmldom_test::ScratchDir;
using xmldom_test::WriteBytes;

constexpr char kOldContent[] = "old content that must survive";

// A document of roughly `bytes` bytes once written.
void MakeLargeDocument(CXml& xml, int bytes) {
  ASSERT_TRUE(xml.Create("R"));
  for (int written = 0; written < bytes; written += 40) {
    xml.GetRoot()->NewChild("Item")->SetAttribute("Name", "0123456789012345678901234");
  }
}

mode_t ModeOf(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(XmlSaveFailure, MissingFolderCreatesNothing) {
  ScratchDir dir;
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  EXPECT_FALSE(xml.Save(dir.File("no_such_folder/out.xml").c_str()));
  EXPECT_TRUE(dir.Entries().empty());
  EXPECT_FALSE(xml.Save(""));
  EXPECT_FALSE(xml.Save());  // a failed save stores no path
}

TEST(XmlSaveFailure, FolderThatIsAFileLeavesItUntouched) {
  ScratchDir dir;
  WriteBytes(dir.File("plain"), kOldContent);
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  EXPECT_FALSE(xml.Save(dir.File("plain/out.xml").c_str()));
  EXPECT_EQ(ReadBytes(dir.File("plain")), kOldContent);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"plain"});
}

TEST(XmlSaveFailure, TargetThatIsAFolderLeavesNoTemporaryFile) {
  ScratchDir dir;
  ASSERT_EQ(::mkdir(dir.File("target").c_str(), 0755), 0);
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  EXPECT_FALSE(xml.Save(dir.File("target").c_str()));
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"target"});
}

TEST(XmlSaveFailure, ReadOnlyFolderKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  ScratchDir dir;
  WriteBytes(dir.File("old.xml"), kOldContent);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  EXPECT_FALSE(xml.Save(dir.File("old.xml").c_str()));
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(ReadBytes(dir.File("old.xml")), kOldContent);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"old.xml"});
}

// A full disk, simulated with a file size limit: writes past it fail.
TEST(XmlSaveFailure, WriteErrorKeepsTheOldFile) {
  ScratchDir dir;
  WriteBytes(dir.File("old.xml"), kOldContent);
  CXml xml;
  MakeLargeDocument(xml, 200000);

  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved_ok = xml.Save(dir.File("old.xml").c_str());
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(ReadBytes(dir.File("old.xml")), kOldContent);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"old.xml"});
  // Without the limit the same document saves.
  EXPECT_TRUE(xml.Save(dir.File("old.xml").c_str()));
  EXPECT_GT(ReadBytes(dir.File("old.xml")).size(), 200000u);
}

TEST(XmlSaveSuccess, ReplacesTheWholeFileAndKeepsItsMode) {
  ScratchDir dir;
  WriteBytes(dir.File("out.xml"), std::string(5000, 'x'));
  ASSERT_EQ(::chmod(dir.File("out.xml").c_str(), 0600), 0);
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  ASSERT_TRUE(xml.Save(dir.File("out.xml").c_str()));
  EXPECT_EQ(ReadBytes(dir.File("out.xml")), "<?xml version=\"1.0\"?><R/>");
  EXPECT_EQ(ModeOf(dir.File("out.xml")), 0600u);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"out.xml"});
}

TEST(XmlSaveSuccess, NewFileGetsReadableModeUnderTheUmask) {
  ScratchDir dir;
  const mode_t mask = ::umask(022);
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  const bool saved = xml.Save(dir.File("new.xml").c_str());
  ::umask(mask);
  ASSERT_TRUE(saved);
  EXPECT_EQ(ModeOf(dir.File("new.xml")), 0644u);
}

TEST(XmlSaveSuccess, GbkPathIsWrittenAsUtf8Name) {
  ScratchDir dir;
  CXml xml;
  ASSERT_TRUE(xml.Create("R"));
  const std::string narrowPath = dir.path() + "/\xCE\xC4\xBC\xFE.xml";  // 文件.xml in GBK
  ASSERT_TRUE(xml.Save(narrowPath.c_str()));
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"\xE6\x96\x87\xE4\xBB\xB6.xml"});
  CXml reread;
  ASSERT_TRUE(reread.Open(narrowPath.c_str()));
  EXPECT_EQ(reread.GetRoot()->GetName(), "R");
}

}  // namespace
