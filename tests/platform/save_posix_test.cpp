// What a save keeps of what the path names, through each save a host has:
// CXml::Save, XmlFileIO::save (which FileConvert uses) and CMeshBin::save.
// Links are followed, hard links and modes kept, protection respected (what
// another user planted in a sticky folder included), a full disk keeps the
// old file, the new content is synced before it replaces the file and the
// folder after, and each reports failure as its API does.
// The routine behind all three is tested in depth in file_replacement_posix_test.cpp.
#include <corvane/corvane.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/every_save.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

// The calls that make a save durable, in the order the library makes them:
// this program's own definitions of the system's functions come first for
// the shared library's calls too, note each call while a test listens, and
// pass it on. A sync is noted with the inode it syncs.
namespace {
std::vector<std::string>* gDurabilityCalls = nullptr;

template <typename Function>
Function* System(const char* name) {
  return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}
void NoteSync(int fd) {
  struct stat info;
  if (gDurabilityCalls != nullptr && ::fstat(fd, &info) == 0)
    gDurabilityCalls->push_back("sync " + std::to_string(info.st_ino));
}
void NoteRename() {
  if (gDurabilityCalls != nullptr) gDurabilityCalls->push_back("rename");
}
}  // namespace

extern "C" {
int fsync(int fd) {
  NoteSync(fd);
  return System<int(int)>("fsync")(fd);
}
int fdatasync(int fd) {
  NoteSync(fd);
  return System<int(int)>("fdatasync")(fd);
}
int rename(const char* from, const char* to) noexcept {
  NoteRename();
  return System<int(const char*, const char*)>("rename")(from, to);
}
int renameat(int fromDir, const char* from, int toDir, const char* to) noexcept {
  NoteRename();
  return System<int(int, const char*, int, const char*)>("renameat")(fromDir, from, toDir, to);
}
int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) noexcept {
  NoteRename();
  return System<int(int, const char*, int, const char*, unsigned)>("renameat2")(fromDir, from,
                                                                                toDir, to, flags);
}
}

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
  ASSERT_TRUE(Run(link));
  ASSERT_TRUE(Run(m_dir.Path("dangling")));
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
  const std::string disk = m_dir.Path("disk"), path = disk + "/file", filler = disk + "/filler";
  ASSERT_EQ(::mkdir(disk.c_str(), 0755), 0);
  WriteText(path, std::string(2048, 'o'));
  // The save, reported as its API reports a full disk.
  const auto fails = [&] {
    int cause = -1;
    const bool reported = GetParam().run(path, cause);
    if (Is("CMeshBin")) return cause == CFileException::diskFull ? 0 : 11;  // names the path
    return Is("CXml") && reported ? 12 : 0;
  };
  // A file-size limit below the new content's size: writes fail as on a full disk.
  EXPECT_EQ(InChild([&] {
              const struct rlimit limit = {16, 16};
              if (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return 10;
              return fails();
            }),
            0);
  // A real full disk where the new content would fit once the old file is gone.
  const int answer = InChild([&] {
    if (!MountInOwnNamespace("tmpfs", disk.c_str(), "tmpfs", "size=256k")) return kCannotMount;
    WriteText(path, std::string(2048, 'o'));
    {
      std::ofstream fill(filler, std::ios::binary);
      const std::string block(4096, 'f');
      while (fill.write(block.data(), block.size()) && fill.flush()) {
      }
    }
    const int failed = fails();
    if (failed != 0) return failed;
    ::unlink(filler.c_str());  // what the mount holds once it is gone
    return ReadText(path) == std::string(2048, 'o') &&
                   std::distance(std::filesystem::directory_iterator(disk), {}) == 1
               ? 0
               : 13;
  });
  if (answer != kCannotMount) {
    EXPECT_EQ(answer, 0);
  }
  EXPECT_EQ(ReadText(path), std::string(2048, 'o'));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk), {}), 1) << "no temporary";
}

// Containers mount single files over names; no rename can replace such a file.
TEST_P(SaveTest, ABindMountedFileIsWrittenInPlace) {
  ASSERT_TRUE(Run(m_dir.Path("fresh")));
  const std::string expected = ReadText(m_dir.Path("fresh"));
  const std::string source = m_dir.Path("source"), mounted = m_dir.Path("mounted");
  WriteText(source, kOld);
  WriteText(mounted, "covered");
  const int answer = InChild([&] {
    if (!MountInOwnNamespace(source.c_str(), mounted.c_str(), nullptr)) return kCannotMount;
    return Run(mounted) && ReadText(mounted) == expected ? 0 : 1;
  });
  if (answer == kCannotMount) GTEST_SKIP() << "bind mounts are not allowed here";
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(ReadText(source), expected);
  EXPECT_EQ(ReadText(mounted), "covered");
  EXPECT_EQ(m_dir.Entries().size(), 3u) << "no temporary is left";
}

// In a sticky folder others may write to, what another user planted there is
// refused as the kernel's create open refuses it under Debian's settings
// (every save applies them, to root too, whatever this host's are): nothing
// is written through it and it stays as it was. The saving user's own file
// and the folder owner's are saved; a folder only its group may write to
// protects regular files, not links.
TEST_P(SaveTest, PlantedLinksFifosAndFilesInAStickyFolderAreRefusedAsTheOpenRefusesThem) {
  ASSERT_TRUE(Run(m_dir.Path("fresh")));
  const std::string expected = ReadText(m_dir.Path("fresh"));
  const uid_t folderOwner = 4321;
  const std::string sticky = m_dir.Path("tmp"), shared = m_dir.Path("shared");
  const std::string aim = m_dir.Path("aim"), kept = m_dir.Path("kept");
  const std::string followed = m_dir.Path("followed");
  WriteText(kept, kOld);
  ASSERT_EQ(::chmod(m_dir.Dir().c_str(), 0755) || ::mkdir(sticky.c_str(), 0) ||
                ::chown(sticky.c_str(), folderOwner, folderOwner) ||
                ::chmod(sticky.c_str(), 01777) || ::mkdir(shared.c_str(), 0) ||
                ::chown(shared.c_str(), 0, kNoGroup) || ::chmod(shared.c_str(), 01770),
            0);
  ASSERT_EQ(InChild(
                [&] {
                  WriteText(sticky + "/file", kOld);
                  WriteText(shared + "/file", kOld);
                  return ::symlink(aim.c_str(), (sticky + "/dangling").c_str()) ||
                         ::symlink(kept.c_str(), (sticky + "/link").c_str()) ||
                         ::mkfifo((sticky + "/fifo").c_str(), 0666) ||
                         ::symlink(followed.c_str(), (shared + "/link").c_str());
                },
                true),
            0);
  const std::string mine = sticky + "/mine", owners = sticky + "/owners";
  WriteText(mine, kOld);
  WriteText(owners, kOld);
  ASSERT_EQ(::chown(owners.c_str(), folderOwner, folderOwner), 0);
  // A reader keeps a FIFO wrongly written from blocking the save and shows what it got.
  const int reader = ::open((sticky + "/fifo").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);

  for (const std::string& planted : {sticky + "/dangling", sticky + "/link", sticky + "/fifo",
                                     sticky + "/file", shared + "/file"}) {
    // Refused as a path that cannot be opened: the DOM's save says false, the others are quiet.
    int cause = -1;
    const bool reported = GetParam().run(planted, cause);
    EXPECT_EQ(reported, !Is("CXml")) << planted;
    EXPECT_EQ(cause, -1) << planted;
  }
  char received[16];
  EXPECT_LE(::read(reader, received, sizeof received), 0) << "the FIFO got nothing";
  ::close(reader);
  EXPECT_FALSE(Exists(aim));
  EXPECT_EQ(ReadText(kept), kOld);
  EXPECT_EQ(ReadText(sticky + "/file"), kOld);
  EXPECT_EQ(ReadText(shared + "/file"), kOld);
  EXPECT_EQ(std::filesystem::read_symlink(sticky + "/dangling"), aim);
  EXPECT_EQ(std::filesystem::read_symlink(sticky + "/link"), kept);
  struct stat fifo, file;
  ASSERT_EQ(::lstat((sticky + "/fifo").c_str(), &fifo) || ::stat((sticky + "/file").c_str(), &file),
            0);
  EXPECT_TRUE(S_ISFIFO(fifo.st_mode) && fifo.st_uid == kNobody && file.st_uid == kNobody);

  ASSERT_TRUE(Run(mine) && Run(owners) && Run(shared + "/link"));
  EXPECT_EQ(ReadText(mine), expected);
  EXPECT_EQ(ReadText(owners), expected);
  EXPECT_EQ(ReadText(followed), expected);
  EXPECT_TRUE(::stat(owners.c_str(), &file) == 0 && file.st_uid == folderOwner);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sticky), {}), 6) << "no temporary";
}

TEST_P(SaveTest, SyncsTheNewContentBeforeItReplacesTheFileAndTheFolderAfter) {
  const std::string path = m_dir.Path("file");
  WriteText(path, kOld);
  std::vector<std::string> calls;
  gDurabilityCalls = &calls;
  const bool saved = Run(path);
  gDurabilityCalls = nullptr;
  struct stat file, folder;
  ASSERT_TRUE(saved);
  ASSERT_EQ(::stat(path.c_str(), &file), 0);
  ASSERT_EQ(::stat(m_dir.Dir().c_str(), &folder), 0);
  // The index of the first `call` at or after `from`; calls.size() when there is none.
  const auto find = [&](const std::string& call, std::size_t from) {
    while (from < calls.size() && calls[from] != call) ++from;
    return from;
  };
  const std::size_t rename = find("rename", 0);
  ASSERT_LT(rename, calls.size()) << "the file is replaced";
  const std::string noted = ::testing::PrintToString(calls);
  EXPECT_LT(find("sync " + std::to_string(file.st_ino), 0), rename) << "content first: " << noted;
  EXPECT_LT(find("sync " + std::to_string(folder.st_ino), rename), calls.size())
      << "the folder after: " << noted;
}

INSTANTIATE_TEST_SUITE_P(EverySave, SaveTest, ::testing::ValuesIn(kSaves),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
