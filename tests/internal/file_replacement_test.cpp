// What FileReplacement does beyond what the public saves show (save_test.cpp):
// chunked and abandoned saves, concurrent temporaries, FIFOs and devices,
// owners and set-ID bits, the error of each refused open, saves where a
// temporary cannot be made, saves killed part-way and full disks. Cases about
// another user run in a child that drops root and answers through its exit
// status (0, or the number of the failed check).
#include "platform/file_replacement.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <tuple>

#include "support/child_process.h"
#include "support/scratch_dir.h"

namespace {

using corvane::platform::FileReplacement;
using corvane::platform::UseNamedTemporariesForTesting;
using namespace corvane_test;

std::string Content(std::size_t size, unsigned seed) {
  std::string text(size, '\0');
  std::uint64_t state = seed * 0x9E3779B97F4A7C15u + 1;
  for (char& c : text) c = static_cast<char>((state = state * 6364136223846793005u + 1) >> 56);
  return text;
}

struct stat Stat(const std::string& path, bool follow = true) {
  struct stat info {};
  (follow ? ::stat : ::lstat)(path.c_str(), &info);
  return info;
}

std::tuple<uid_t, gid_t, mode_t> Attributes(const std::string& path) {
  const struct stat info = Stat(path);
  return {info.st_uid, info.st_gid, info.st_mode & 07777};
}

// Saves `text` in pieces of `piece` bytes; Commit's answer, with Error() in `error`.
bool Save(const std::string& path, const std::string& text, int* error = nullptr,
          std::size_t piece = 1000) {
  FileReplacement save(path.c_str());
  bool done = save.Open();
  for (std::size_t at = 0; done && at < text.size(); at += piece) {
    save.Write(text.data() + at, std::min(piece, text.size() - at));
  }
  done = done && save.Commit();
  if (error != nullptr) *error = save.Error();
  return done;
}

TEST(FileReplacement, ReplacesWholeAndAbandonedOrConcurrentSavesLeaveNoLitter) {
  ScratchDir dir;
  const std::string path = dir.Path("doc.xml");
  const mode_t previous = ::umask(002);
  EXPECT_TRUE(Save(path, "fresh"));
  ::umask(previous);
  EXPECT_EQ(Stat(path).st_mode & 07777, 0664u) << "a new file: 0666 less the umask";
  const std::pair<std::size_t, std::size_t> sizeAndPiece[] = {
      {300000, 1}, {5000000, 200000}, {0, 1}, {70000, 65536}};
  for (const auto& [size, piece] : sizeAndPiece) {
    const ino_t before = Stat(path).st_ino;
    const std::string text = Content(size, static_cast<unsigned>(piece));
    EXPECT_TRUE(Save(path, text, nullptr, piece) && ReadText(path) == text) << size;
    EXPECT_NE(Stat(path).st_ino, before) << "replaced whole, not written in place";
    EXPECT_EQ(dir.Entries().size(), 1u) << "no temporary stays";
  }
  for (const bool named : {false, true}) {  // abandoned saves leave everything as it was
    UseNamedTemporariesForTesting(named);
    FileReplacement replaced(path.c_str()), created(dir.Path("never.xml").c_str());
    ASSERT_TRUE(replaced.Open() && created.Open());
    replaced.Write("abandoned", 9);
    created.Write("abandoned", 9);
  }
  EXPECT_TRUE(ReadText(path) == Content(70000, 65536));
  EXPECT_EQ(dir.Entries().size(), 1u);

  // A save cleaning up leftovers leaves a live save's temporary alone.
  FileReplacement first(path.c_str()), second(path.c_str());
  const bool opened = first.Open() && second.Open();
  UseNamedTemporariesForTesting(false);
  ASSERT_TRUE(opened);
  first.Write("first", 5);
  second.Write("second", 6);
  EXPECT_TRUE(first.Commit() && second.Commit());
  EXPECT_EQ(ReadText(path), "second");
  EXPECT_EQ(dir.Entries().size(), 1u);
}

TEST(FileReplacement, WritesFifosAndDevicesThroughAndKeepsOwnersAndSetIdBits) {
  ScratchDir dir;
  const std::string text = Content(300000, 5);  // more than a pipe holds
  for (const bool readerFirst : {true, false}) {
    const std::string fifo = dir.Path(readerFirst ? "first.fifo" : "later.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int early = readerFirst ? ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    FileReplacement save(fifo.c_str());
    ASSERT_TRUE(save.Open()) << "a FIFO without a reader opens as the open would";
    // A reader already there must not see the save's probe as a writer that came and went.
    char none;
    ASSERT_TRUE(!readerFirst || (::read(early, &none, 1) < 0 && errno == EAGAIN)) << "no writer";
    std::string received;
    std::thread reader([&] { received = ReadText(fifo); });  // to the last writer's close
    save.Write(text.data(), text.size());
    EXPECT_TRUE(save.Commit());
    reader.join();
    if (early >= 0) ::close(early);
    EXPECT_TRUE(received == text && S_ISFIFO(Stat(fifo, false).st_mode)) << received.size();
  }
  if (::geteuid() != 0) GTEST_SKIP() << "devices and owners need root";
  const dev_t null = Stat("/dev/null").st_rdev;
  EXPECT_TRUE(Save("/dev/null", text));
  EXPECT_TRUE(S_ISCHR(Stat("/dev/null").st_mode) && Stat("/dev/null").st_rdev == null);

  const std::tuple<uid_t, gid_t, mode_t> rows[] = {{12345, 23456, 02770}, {12345, 0, 04755}};
  for (const auto& [uid, gid, mode] : rows) {
    const std::string path = dir.Path("kept" + std::to_string(mode));
    WriteText(path, "old");
    ASSERT_EQ(::chown(path.c_str(), uid, gid), 0);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);  // after chown, which clears set-ID bits
    const bool xattr = ::setxattr(path.c_str(), "user.corvane", "kept", 4, 0) == 0;
    const ino_t before = Stat(path).st_ino;
    EXPECT_TRUE(Save(path, "new") && ReadText(path) == "new");
    EXPECT_EQ(Attributes(path), std::make_tuple(uid, gid, mode));
    EXPECT_NE(Stat(path).st_ino, before) << "replaced, not written in place";
    char value[8] = {};
    EXPECT_TRUE(!xattr || ::getxattr(path.c_str(), "user.corvane", value, sizeof value) == 4);
    EXPECT_STREQ(value, xattr ? "kept" : "");
  }
}

TEST(FileReplacement, OpenFailsWhereTheOpenWouldAndTouchesNothing) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path("taken.xml"));
  const std::string plain = dir.Path("plain.xml");
  WriteText(plain, "old");
  const std::pair<std::string, int> rows[] = {
      {dir.Path("taken.xml"), EISDIR},
      {dir.Path("no/such/x.xml"), ENOENT},
      {plain + "/x", ENOTDIR},
      {dir.Path("bad\xFF.xml"), EILSEQ},
      {dir.Path("bad\xFE.xml"), EILSEQ},  // would reach the same file as bad\xFF.xml if lenient
      {dir.Path(std::string(256, 'n')), ENAMETOOLONG},
      {dir.Path("missing/"), EISDIR},
      {"", ENOENT},
  };
  for (const auto& [path, cause] : rows) {
    FileReplacement save(path.c_str());
    EXPECT_FALSE(save.Open()) << path;
    EXPECT_EQ(save.Error(), cause) << path;
    save.Write("x", 1);
    EXPECT_FALSE(save.Commit()) << path;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path("taken.xml")));
  EXPECT_EQ(ReadText(plain), "old");

  // The longest names still save: the temporary's name does not grow with them.
  std::string gbk, utf8;
  for (int i = 0; i < 80; ++i) gbk += "\xD5\xFD", utf8 += "\xE6\xAD\xA3";
  for (const auto& [narrow, stored] : {std::make_pair(std::string(255, 'n'), std::string(255, 'n')),
                                       std::make_pair(gbk + ".xml", utf8 + ".xml")}) {
    EXPECT_TRUE(Save(dir.Path(narrow), "long") && Save(dir.Path(narrow), "longer"));
    EXPECT_EQ(ReadText(dir.Path(stored)), "longer");
  }
  EXPECT_EQ(dir.Entries().size(), 4u);
}

TEST(FileReplacement, WithoutPrivilegesSavesInPlaceWhereNoTemporaryCanBeMade) {
  if (::geteuid() != 0) GTEST_SKIP() << "dropping to another user needs root";
  ScratchDir mine, theirs, drop;  // nobody's, root's, and nobody's to write but not to read
  ASSERT_EQ(::chmod(theirs.Dir().c_str(), 0755) || ::chmod(drop.Dir().c_str(), 0333), 0);
  ASSERT_EQ(::chown(mine.Dir().c_str(), kNobody, kNoGroup) ||
                ::chown(drop.Dir().c_str(), kNobody, kNoGroup),
            0);
  // The owner (root) cannot be kept by a rename: written in place, its tail cut.
  const std::string shared = mine.Path("shared.xml");
  WriteText(shared, "old and longer");
  ASSERT_EQ(::chown(shared.c_str(), 0, kNoGroup) || ::chmod(shared.c_str(), 0664), 0);
  EXPECT_EQ(InChild(
                [&] {
                  int error = 0;
                  if (!Save(shared, "new")) return 1;
                  if (Save(theirs.Path("unmade.xml"), "new", &error) || error != EACCES) return 2;
                  if (!Save(drop.Path("made.xml"), "new")) return 3;  // created in place
                  FileReplacement abandoned(drop.Path("abandoned.xml").c_str());
                  return abandoned.Open() ? 0 : 4;  // and removed again
                },
                true),
            0);
  EXPECT_EQ(ReadText(shared), "new");
  EXPECT_EQ(Attributes(shared), std::make_tuple(uid_t(0), kNoGroup, mode_t(0664)));
  EXPECT_EQ(ReadText(drop.Path("made.xml")), "new");
  EXPECT_EQ(std::make_tuple(mine.Entries().size(), theirs.Entries().size(), drop.Entries().size()),
            std::make_tuple(1u, 0u, 1u));
}

TEST(FileReplacement, KilledSavesLeaveOldOrNewAndNoLitter) {
  ScratchDir dir;
  const std::string path = dir.Path("big.bin");
  constexpr std::size_t kStep = 1 << 20;
  const std::string large = Content(24 * kStep, 7);
  std::mt19937 random(20240611);
  int leftovers = 0;
  for (int round = 0; round < 20; ++round) {
    const std::string old = Content(1000 + round, round);
    ASSERT_TRUE(Save(path, old) && dir.Entries().size() == 1u) << round;
    int progress[2];
    ASSERT_EQ(::pipe(progress), 0);
    const pid_t child = ::fork();
    if (child == 0) {  // reports each MiB written
      UseNamedTemporariesForTesting(round % 2 == 1);
      FileReplacement save(path.c_str());
      if (!save.Open()) ::_exit(1);
      for (std::size_t at = 0, piece; at < large.size(); at += piece) {
        piece = std::min<std::size_t>(4096 + at % 7919, large.size() - at);
        save.Write(large.data() + at, piece);
        if ((at + piece) / kStep != at / kStep && ::write(progress[1], "p", 1) != 1) ::_exit(3);
      }
      ::_exit(save.Commit() ? 0 : 2);
    }
    ::close(progress[1]);
    char token;
    for (int n = std::uniform_int_distribution<int>(1, 24)(random); n > 0; --n)
      if (::read(progress[0], &token, 1) != 1) break;
    ::usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(progress[0]);
    EXPECT_TRUE(WIFSIGNALED(status) || WEXITSTATUS(status) == 0) << round;
    const std::string now = ReadText(path);
    EXPECT_TRUE(now == old || now == large) << round << ": " << now.size() << " bytes";
    if (dir.Entries().size() > 1) ++leftovers;
  }
  ASSERT_TRUE(Save(path, "last"));
  EXPECT_EQ(dir.Entries().size(), 1u);
  EXPECT_GT(leftovers, 0) << "no kill left a temporary: the cleaning went untested";
}

TEST(FileReplacement, AFullFileSystemKeepsTheOldFileUnlessTheNewFitsAlone) {
  ScratchDir disk;  // RLIMIT_FSIZE is in save_test.cpp
  const std::string file = disk.Path("a.bin");
  const int answer = InChild([&] {
    if (::unshare(CLONE_NEWNS) || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
        ::mount("tmpfs", disk.Dir().c_str(), "tmpfs", 0, "size=1m")) {
      return 77;
    }
    int error = 0;
    const std::string small = Content(400 << 10, 3), larger = Content(700 << 10, 6);
    WriteText(file, small);  // the new content cannot fit at all
    UseNamedTemporariesForTesting(true);
    if (Save(file, Content(3 << 20, 5), &error, 65536) || error != ENOSPC) return 1;
    UseNamedTemporariesForTesting(false);
    if (ReadText(file) != small || disk.Entries().size() != 1) return 2;
    WriteText(file, Content(600 << 10, 4));  // old and new do not fit together; the new fits alone
    if (!Save(file, larger, &error) || ReadText(file) != larger || disk.Entries().size() != 1) {
      return 3;
    }
    // Read-only, the file is not written even by root.
    if (::mount(nullptr, disk.Dir().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr)) return 4;
    if (Save(file, "new", &error) || error != EROFS || ReadText(file) != larger) return 5;
    return 0;
  });
  if (answer == 77) GTEST_SKIP() << "mounting a small file system is not allowed here";
  EXPECT_EQ(answer, 0);
}

}  // namespace
