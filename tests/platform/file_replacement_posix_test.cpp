// What FileReplacement does beyond what the public saves show (save_posix_test.cpp): chunked,
// abandoned and concurrent saves, the error of a refused open, saves where a temporary cannot be
// made, saves killed part-way and full disks. Cases about another user run in a child that drops
// root and answers through its exit status (0, or the number of the failed check).
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "platform/file_replacement.h"
#include "support/child_process.h"
#include "support/scratch_dir.h"

namespace {

using corvane::platform::FileReplacement;
using corvane::platform::UseNamedTemporariesForTesting;
using namespace corvane_test;

std::string Content(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string text(size, '\0');
  for (char& c : text) c = static_cast<char>(random() >> 24);
  return text;
}

struct stat Stat(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info;
}

// Saves `text` in pieces of `piece` bytes, asking `written` after each whether to go on;
// Commit's answer, with Error() in `error`.
bool Save(const std::string& path, const std::string& text, int* error = nullptr,
          std::size_t piece = 1000, const std::function<bool()>& written = nullptr) {
  FileReplacement save(path.c_str());
  bool done = save.Open();
  for (std::size_t at = 0; done && at < text.size(); at += piece) {
    save.Write(text.data() + at, std::min(piece, text.size() - at));
    done = !written || written();
  }
  done = done && save.Commit();
  if (error != nullptr) *error = save.Error();
  return done;
}

TEST(FileReplacement, ReplacesWholeAndAbandonedOrConcurrentSavesLeaveNoLitter) {
  ScratchDir dir;
  const std::string path = dir.Path("doc.xml"), text = Content(70000, 9);
  const mode_t previous = ::umask(002);
  EXPECT_TRUE(Save(path, "fresh"));
  ::umask(previous);
  EXPECT_EQ(Stat(path).st_mode & 07777, 0664u) << "a new file: 0666 less the umask";
  const ino_t before = Stat(path).st_ino;
  EXPECT_TRUE(Save(path, text, nullptr, 1));  // byte by byte
  EXPECT_EQ(ReadText(path), text);
  EXPECT_NE(Stat(path).st_ino, before) << "replaced whole, not written in place";
  if (::geteuid() == 0) {  // the replacement keeps owner, group and set-ID bits
    ASSERT_EQ(::chown(path.c_str(), 12345, 23456) || ::chmod(path.c_str(), 02770), 0);
    EXPECT_TRUE(Save(path, text));
    EXPECT_EQ(Stat(path).st_uid, 12345u);
    EXPECT_EQ(Stat(path).st_gid, 23456u);
    EXPECT_EQ(Stat(path).st_mode & 07777, 02770u);
  }
  for (const bool named : {false, true}) {  // abandoned saves leave everything as it was
    UseNamedTemporariesForTesting(named);
    FileReplacement replaced(path.c_str()), created(dir.Path("never.xml").c_str());
    ASSERT_TRUE(replaced.Open());
    ASSERT_TRUE(created.Open());
    replaced.Write("abandoned", 9);
    created.Write("abandoned", 9);
  }
  EXPECT_EQ(ReadText(path), text);
  EXPECT_EQ(dir.Entries().size(), 1u) << "no temporary stays";

  // A save cleaning up leftovers leaves a live save's temporary alone.
  FileReplacement first(path.c_str()), second(path.c_str());
  const bool opened = first.Open() && second.Open();
  UseNamedTemporariesForTesting(false);
  ASSERT_TRUE(opened);
  first.Write("first", 5);
  second.Write("second", 6);
  EXPECT_TRUE(first.Commit());
  EXPECT_TRUE(second.Commit());
  EXPECT_EQ(ReadText(path), "second");
  EXPECT_EQ(dir.Entries().size(), 1u);
}

TEST(FileReplacement, OpenFailsWhereTheOpenWouldAndTouchesNothing) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path("taken.xml"));
  // Another user's link in a sticky folder all may write to: refused as the kernel refuses it.
  const std::string sticky = dir.Path("sticky"), planted = sticky + "/planted.xml";
  ASSERT_EQ(::mkdir(sticky.c_str(), 0) || ::chmod(sticky.c_str(), 01777) ||
                ::symlink("aim.xml", planted.c_str()) ||
                ::lchown(planted.c_str(), kNobody, kNoGroup),
            0);
  const std::pair<std::string, int> rows[] = {{dir.Path("taken.xml"), EISDIR},
                                              {dir.Path("no/such/x.xml"), ENOENT},
                                              {dir.Path("bad\xFF.xml"), EILSEQ},
                                              {planted, EACCES}};
  for (const auto& [path, cause] : rows) {
    FileReplacement save(path.c_str());
    EXPECT_FALSE(save.Open()) << path;
    EXPECT_FALSE(save.Commit()) << path;
    EXPECT_EQ(save.Error(), cause) << path;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path("taken.xml")));
  EXPECT_EQ(dir.Entries().size(), 2u);
  EXPECT_FALSE(Exists(sticky + "/aim.xml"));
}

TEST(FileReplacement, WithoutPrivilegesSavesInPlaceWhereNoTemporaryCanBeMade) {
  if (::geteuid() != 0) GTEST_SKIP() << "dropping to another user needs root";
  ScratchDir mine, theirs, drop;  // nobody's, root's, and nobody's to write but not to read
  ASSERT_EQ(::chmod(theirs.Dir().c_str(), 0755) || ::chmod(drop.Dir().c_str(), 0333), 0);
  for (const ScratchDir* nobodys : {&mine, &drop})
    ASSERT_EQ(::chown(nobodys->Dir().c_str(), kNobody, kNoGroup), 0);
  // The owner (root) cannot be kept by a rename: written in place, its tail cut.
  const std::string shared = mine.Path("shared.xml");
  WriteText(shared, "old and longer");
  ASSERT_EQ(::chown(shared.c_str(), 0, kNoGroup) || ::chmod(shared.c_str(), 0664), 0);
  const auto asNobody = [&] {
    int error = 0;
    if (!Save(shared, "new")) return 1;
    if (Save(theirs.Path("unmade.xml"), "new", &error) || error != EACCES) return 2;
    if (!Save(drop.Path("made.xml"), "new")) return 3;  // created in place
    FileReplacement abandoned(drop.Path("abandoned.xml").c_str());
    return abandoned.Open() ? 0 : 4;  // and removed again
  };
  EXPECT_EQ(InChild(asNobody, true), 0);
  EXPECT_EQ(ReadText(shared), "new");
  const struct stat info = Stat(shared);
  EXPECT_EQ(info.st_uid, 0u);
  EXPECT_EQ(info.st_gid, kNoGroup);
  EXPECT_EQ(info.st_mode & 07777, 0664u);
  EXPECT_EQ(ReadText(drop.Path("made.xml")), "new");
  EXPECT_EQ(mine.Entries().size(), 1u);
  EXPECT_TRUE(theirs.Entries().empty());
  EXPECT_EQ(drop.Entries().size(), 1u);
}

// Saves `text` in a child reporting each piece of `piece` bytes written, and kills it after
// `pieces` reports (one more than the pieces: while it commits) and `delay` microseconds.
// False when the child finished before the kill and its save failed.
bool KilledSave(const std::string& path, const std::string& text, std::size_t piece, int pieces,
                useconds_t delay, bool named) {
  int progress[2];
  if (::pipe(progress) != 0) return false;
  const pid_t child = ::fork();
  if (child == 0) {
    UseNamedTemporariesForTesting(named);
    const auto report = [&] { return ::write(progress[1], "p", 1) == 1; };
    ::_exit(Save(path, text, nullptr, piece, report) ? 0 : 2);
  }
  ::close(progress[1]);
  char token;
  for (int n = pieces; n > 0; --n)
    if (::read(progress[0], &token, 1) != 1) break;
  ::usleep(delay);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(progress[0]);
  return WIFSIGNALED(status) || WEXITSTATUS(status) == 0;
}

TEST(FileReplacement, KilledSavesLeaveOldOrNewAndNoLitter) {
  ScratchDir dir;
  const std::string path = dir.Path("big.bin");
  constexpr std::size_t kPiece = 1 << 16;
  const std::string large = Content(384 * kPiece, 7);
  std::mt19937 random(20240611);
  int leftovers = 0;
  for (int round = 0; round < 20; ++round) {
    const std::string old = Content(1000 + round, round);
    ASSERT_TRUE(Save(path, old)) << round;
    ASSERT_EQ(dir.Entries().size(), 1u) << round;
    EXPECT_TRUE(KilledSave(path, large, kPiece, std::uniform_int_distribution<int>(1, 384)(random),
                           std::uniform_int_distribution<useconds_t>(0, 3000)(random),
                           round % 2 == 1))
        << round;
    const std::string now = ReadText(path);
    EXPECT_TRUE(now == old || now == large) << round << ": " << now.size() << " bytes";
    if (dir.Entries().size() > 1) ++leftovers;
  }
  EXPECT_TRUE(Save(path, "last"));
  EXPECT_EQ(dir.Entries().size(), 1u) << "the next save cleans up";
  EXPECT_GT(leftovers, 0) << "no kill left a temporary: the cleaning went untested";
}

// Another user can plant names like a leftover's in a shared folder: a save removes only its
// own user's regular files, whatever else is planted beside them.
TEST(FileReplacement, CleaningUpRemovesOnlyTheSavingUsersOwnLeftovers) {
  if (::geteuid() != 0) GTEST_SKIP() << "planting another user's file needs root";
  ScratchDir dir;
  const std::string path = dir.Path("doc.xml");
  ASSERT_TRUE(Save(path, "old"));
  EXPECT_TRUE(KilledSave(path, Content(1 << 20, 2), 1 << 16, 1, 0, true));
  ASSERT_EQ(dir.Entries().size(), 2u) << "a named temporary is made at the start";
  const std::string leftover = *dir.Entries().begin();  // ".corvane-..." sorts first
  const std::string lookAlike = dir.Path(leftover.substr(0, leftover.size() - 16));
  const std::string theirs = lookAlike + "theirsAAAAAA.tmp", link = lookAlike + "linkAAAAAAAA.tmp";
  WriteText(theirs, "theirs");
  ASSERT_EQ(::chown(theirs.c_str(), kNobody, kNoGroup) || ::symlink(path.c_str(), link.c_str()), 0);
  for (int n = 0; n < 1000; ++n) {
    char letters[13];
    std::snprintf(letters, sizeof letters, "fifo%08d", n);
    ASSERT_EQ(::mkfifo((lookAlike + letters + ".tmp").c_str(), 0600), 0);
  }
  EXPECT_TRUE(Save(path, "new"));
  EXPECT_EQ(ReadText(path), "new");
  const auto entries = dir.Entries();
  EXPECT_EQ(entries.size(), 1003u);
  EXPECT_EQ(entries.count(leftover), 0u) << "the own leftover goes";
  EXPECT_EQ(ReadText(theirs), "theirs");
}

TEST(FileReplacement, ASaveThatDoesNotFitBesideTheOldFileFailsAndKeepsItWhole) {
  ScratchDir disk;  // RLIMIT_FSIZE is in save_posix_test.cpp
  const std::string file = disk.Path("a.bin");
  const int answer = InChild([&] {
    if (!MountInOwnNamespace("tmpfs", disk.Dir().c_str(), "tmpfs", "size=1m")) return kCannotMount;
    int error = 0;
    const std::string old = Content(600 << 10, 4), larger = Content(700 << 10, 6);
    WriteText(file, old);
    for (const bool named : {false, true}) {  // the new content would fit alone
      UseNamedTemporariesForTesting(named);
      if (Save(file, larger, &error, 65536) || error != ENOSPC) return 1;
      if (ReadText(file) != old || disk.Entries().size() != 1) return 2;
    }
    // Killed anywhere, the last pieces and the commit included: the old file whole.
    std::mt19937 random(18);
    for (int round = 0; round < 16; ++round) {
      const int pieces = round < 8 ? 11 : std::uniform_int_distribution<int>(1, 11)(random);
      KilledSave(file, larger, 65536, pieces,
                 std::uniform_int_distribution<useconds_t>(0, 500)(random), round % 2 == 1);
      if (ReadText(file) != old) return 3;
    }
    if (!Save(file, "fits") || ReadText(file) != "fits" || disk.Entries().size() != 1) return 4;
    // Read-only, the file is not written even by root.
    if (::mount(nullptr, disk.Dir().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr)) return 5;
    if (Save(file, "new", &error) || error != EROFS || ReadText(file) != "fits") return 6;
    return 0;
  });
  if (answer == kCannotMount) GTEST_SKIP() << "mounting a small file system is not allowed here";
  EXPECT_EQ(answer, 0);
}

}  // namespace
