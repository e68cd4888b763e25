// What a save keeps of what the path names, through each save a host has:
// CXml::Save, XmlFileIO::save (which FileConvert uses) and CMeshBin::save.
// Links are followed, hard links and modes kept, protection respected, a
// full disk keeps the old file, and each reports failure as its API does.
// The routine behind all three is tested in depth in internal/.
#include <corvane/corvane.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/child_process.h"
#include "support/every_save.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using namespace corvane_test;

constexpr char kOld[] = "old content";

class SaveTest : public ::testing::TestWithParam<Save> {
 protected:
  bool Is(const char* name) const { return std::string(GetParam().name) == name; }
  bool Run(const std::string& path) {
    int cause = -1;
    return GetParam().run(path, cause);
  }
  ScratchDir m_dir;
};

TEST_P(SaveTest, FollowsLinksKeepsModeAndHardLinksAndRespectsProtection) {
  ASSERT_TRUE(Run(m_dir.Path("fresh")));  // the bytes the save writes
  if (!Is("CMeshBin")) {
    EXPECT_CONFORMING_XML(m_dir.Path("fresh"));
  }
  const std::string expected = ReadText(m_dir.Path("fresh"));
  const std::string target = m_dir.Path("target"), link = m_dir.Path("link");
  WriteText(target, kOld);
  ASSERT_EQ(::chmod(target.c_str(), 0640) || ::symlink("target", link.c_str()) ||
                ::link(target.c_str(), m_dir.Path("second name").c_str()) ||
                ::symlink("new target", m_dir.Path("dangling").c_str()),
            0);
  ASSERT_TRUE(Run(link) && Run(m_dir.Path("dangling")));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadText(target), expected);
  EXPECT_EQ(ReadText(m_dir.Path("second name")), expected);  // the hard link sees it too
  EXPECT_EQ(ReadText(m_dir.Path("new target")), expected);
  EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(m_dir.Entries().size(), 6u) << "no temporary is left";

  const std::string readOnly = m_dir.Path("read-only"), folder = m_dir.Path("folder");
  const std::string inFolder = folder + "/writable";
  WriteText(readOnly, kOld);
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444) || ::mkdir(folder.c_str(), 0755), 0);
  WriteText(inFolder, kOld);
  ASSERT_EQ(::chown(inFolder.c_str(), kNobody, kNoGroup) || ::chmod(m_dir.Dir().c_str(), 0777), 0);
  // As a user the permissions bind: the read-only file is not replaced (the
  // DOM's save says false; the others are quiet), the writable file in a
  // folder that refuses a temporary is written in place.
  EXPECT_EQ(InChild([&] { return Run(readOnly) != Is("CXml") && Run(inFolder) ? 0 : 1; }, true), 0);
  EXPECT_EQ(ReadText(readOnly), kOld);
  EXPECT_EQ(ReadText(inFolder), expected);
}

TEST_P(SaveTest, AFullDiskKeepsTheOldFileAndReportsAsTheApiDoes) {
  const std::string path = m_dir.Path("file");
  WriteText(path, std::string(2048, 'o'));
  // A file-size limit below the new content's size: writes fail as on a full disk.
  const int answer = InChild([&] {
    const struct rlimit limit = {16, 16};
    if (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
    int cause = -1;
    const bool reported = GetParam().run(path, cause);
    if (Is("CMeshBin")) return cause == CFileException::diskFull ? 0 : 11;  // names the path
    return Is("CXml") && reported ? 12 : 0;
  });
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(ReadText(path), std::string(2048, 'o'));
  EXPECT_EQ(m_dir.Entries().size(), 1u) << "no temporary is left";
}

INSTANTIATE_TEST_SUITE_P(EverySave, SaveTest, ::testing::ValuesIn(kSaves),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
