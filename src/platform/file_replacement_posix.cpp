// The POSIX side of a save. The path is probed by really opening it to write
// and create, without truncating, so that a save fails exactly where the open
// would; sticky folders get the kernel's rules whatever the host's settings.
// A replacement is prepared beside the file: an unnamed temporary where the
// file system has them (named only just before the rename), a named one
// elsewhere. Every named temporary is locked while its save lives, which lets
// the next save of the same file tell a dead save's leftovers from a live
// one's.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/file_replacement.h"

namespace corvane {
namespace platform {
namespace {

std::atomic<bool> gNamedTemporaries{false};

// Temporaries are ".corvane-HHHHHHHH-RRRRRRRRRRRR.tmp": hidden, short whatever
// the file's name, tied to that name by its hash, unpredictable by the letters.
constexpr char kTemporaryPrefix[] = ".corvane-";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr std::size_t kHashDigits = 8;
constexpr std::size_t kRandomLetters = 12;
constexpr std::size_t kTemporaryNameLength =
    sizeof(kTemporaryPrefix) - 1 + kHashDigits + 1 + kRandomLetters + sizeof(kTemporarySuffix) - 1;
constexpr int kNameAttempts = 16;
constexpr std::size_t kMaxLeftoverChecks = 64;
constexpr int kMaxLinkHops = 40;  // the kernel gives up there too
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;
constexpr mode_t kPermissionBits = 07777;

int OpenAt(int dir, const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::openat(dir, path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

void Close(int& fd) noexcept {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `name` in `dir` is still the file open as `fd`.
bool Names(int dir, const char* name, int fd) {
  struct stat byName, byFd;
  return ::fstatat(dir, name, &byName, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &byFd) == 0 &&
         SameFile(byName, byFd);
}

int WriteAll(int fd, const char* data, std::size_t size, std::size_t& written) {
  written = 0;
  while (written < size) {
    const ssize_t done = ::write(fd, data + written, std::min(size - written, kMaxTransfer));
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return errno;
    if (done == 0) return ENOSPC;
    written += static_cast<std::size_t>(done);
  }
  return 0;
}

int Sync(int fd) {
  int result;
  do {
    result = ::fsync(fd);
  } while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : errno;
}

// The name's part of a temporary's name (FNV-1a): leftovers of other files
// stay out of a save's way, and a rare clash only removes another dead
// save's leftover.
std::string NameHash(const std::string& name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  char text[kHashDigits + 1];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(hash));
  return text;
}

std::string TemporaryName(const std::string& name) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[kRandomLetters];
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    // Without the kernel's generator the names are only unlikely to repeat;
    // temporaries are created exclusively, so a repeat merely costs a retry.
    static std::atomic<std::uint64_t> counter{0};
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::uint64_t state = counter.fetch_add(1) ^ (static_cast<std::uint64_t>(::getpid()) << 40) ^
                          static_cast<std::uint64_t>(now.tv_nsec) ^
                          (static_cast<std::uint64_t>(now.tv_sec) << 30);
    for (unsigned char& byte : bytes) {
      state += 0x9E3779B97F4A7C15u;
      std::uint64_t mixed = (state ^ (state >> 30)) * 0xBF58476D1CE4E5B9u;
      mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBu;
      byte = static_cast<unsigned char>(mixed >> 56);
    }
  }
  std::string result = kTemporaryPrefix + NameHash(name) + '-';
  for (const unsigned char byte : bytes) result += kLetters[byte % (sizeof kLetters - 1)];
  return result + kTemporarySuffix;
}

bool IsTemporaryOf(const char* entry, const std::string& prefix) {
  const std::size_t length = std::strlen(entry);
  const std::size_t suffix = sizeof kTemporarySuffix - 1;
  return length == kTemporaryNameLength && std::strncmp(entry, prefix.data(), prefix.size()) == 0 &&
         std::strcmp(entry + length - suffix, kTemporarySuffix) == 0;
}

// The user the kernel checks file access for and gives new files to; asking
// for an invalid one changes nothing and answers the current one.
uid_t SavingUser() { return static_cast<uid_t>(::setfsuid(static_cast<uid_t>(-1))); }

// Whether `info` is a regular file of the saving user: only such a file can
// be a leftover of its saves, whatever another user names like one.
bool IsOwnRegularFile(const struct stat& info) {
  return S_ISREG(info.st_mode) && info.st_uid == SavingUser();
}

// Whether `entry`, met in `folder` on the way to the file a save opens (a link
// about to be followed, or the existing file the create open would open), was
// planted there by another user. In a sticky folder others may write to,
// another user's link can aim root's save anywhere and another user's file or
// FIFO would receive its content; the kernel refuses such opens (EACCES) with
// fs.protected_symlinks=1, protected_regular=2 and protected_fifos=1, as
// Debian sets them. Many hosts and containers leave them off, so every save
// applies those settings itself, to root as to anyone: an entry the saving
// user or the folder's owner owns is never planted.
bool PlantedInStickyFolder(const struct stat& folder, const struct stat& entry) {
  if ((folder.st_mode & S_ISVTX) == 0) return false;
  if (entry.st_uid == SavingUser() || entry.st_uid == folder.st_uid) return false;
  const bool othersWrite = (folder.st_mode & S_IWOTH) != 0;
  const bool groupWrites = (folder.st_mode & S_IWGRP) != 0;
  if (S_ISLNK(entry.st_mode) || S_ISFIFO(entry.st_mode)) return othersWrite;
  return S_ISREG(entry.st_mode) && (othersWrite || groupWrites);
}

// Removes what dead saves of `name` left in `dir`. A live save holds its
// temporary's lock; checking the name after taking the lock keeps a file that
// took the name meanwhile. Only the listing is read for names of other kinds,
// and a folder planted with look-alikes costs at most kMaxLeftoverChecks
// checks a save.
void RemoveLeftovers(int dir, const std::string& name) {
  const int scan = OpenAt(dir, ".", O_RDONLY | O_DIRECTORY);
  if (scan < 0) return;
  DIR* listing = ::fdopendir(scan);
  if (listing == nullptr) {
    ::close(scan);
    return;
  }
  const std::string prefix = kTemporaryPrefix + NameHash(name) + '-';
  std::vector<std::string> found;
  while (const dirent* entry = ::readdir(listing)) {
    if ((entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN) &&
        IsTemporaryOf(entry->d_name, prefix)) {
      found.emplace_back(entry->d_name);
      if (found.size() == kMaxLeftoverChecks) break;
    }
  }
  ::closedir(listing);
  for (const std::string& leftover : found) {
    struct stat info;
    if (::fstatat(dir, leftover.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !IsOwnRegularFile(info))
      continue;
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    int fd = OpenAt(dir, leftover.c_str(), O_RDONLY | flags);
    if (fd < 0) fd = OpenAt(dir, leftover.c_str(), O_WRONLY | flags);  // a write-only mode
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0 && IsOwnRegularFile(info) &&
        Names(dir, leftover.c_str(), fd)) {
      ::unlinkat(dir, leftover.c_str(), 0);
    }
    ::close(fd);
  }
}

std::string Join(const std::string& dir, const std::string& name) {
  return dir == "/" ? dir + name : dir + '/' + name;
}

void Split(const std::string& path, std::string& dir, std::string& name) {
  const std::size_t slash = path.rfind('/');
  dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether `entry` in the folder `dir` was planted there (see above).
bool PlantedIn(const std::string& dir, const struct stat& entry) {
  struct stat folder;
  return ::stat(dir.c_str(), &folder) == 0 && PlantedInStickyFolder(folder, entry);
}

// The folder and name of the file `path` reaches through symbolic links in
// its last part, the file a dangling link would create included. `planted`
// tells that a link on the way or that file was planted in a sticky folder;
// the answer is then EACCES.
int ResolveLinks(const std::string& path, std::string& dir, std::string& name, bool& planted) {
  std::string current = path;
  planted = false;
  for (int hops = 0;; ++hops) {
    Split(current, dir, name);
    struct stat info;
    if (::lstat(current.c_str(), &info) != 0) return errno == ENOENT ? 0 : errno;
    if (PlantedIn(dir, info)) {
      planted = true;
      return EACCES;
    }
    if (!S_ISLNK(info.st_mode)) return 0;
    if (hops == kMaxLinkHops) return ELOOP;
    std::string target(std::max<std::size_t>(static_cast<std::size_t>(info.st_size) + 1, 256),
                       '\0');
    for (;;) {
      const ssize_t length = ::readlink(current.c_str(), &target[0], target.size());
      if (length < 0) return errno;
      if (static_cast<std::size_t>(length) < target.size()) {
        target.resize(static_cast<std::size_t>(length));
        break;
      }
      target.resize(target.size() * 2);
    }
    current = !target.empty() && target[0] == '/' ? target : Join(dir, target);
  }
}

int CopyExtendedAttributes(int from, int to) {
  ssize_t size = ::flistxattr(from, nullptr, 0);
  if (size <= 0) return 0;  // none, or none this file system keeps
  std::vector<char> names(static_cast<std::size_t>(size));
  size = ::flistxattr(from, names.data(), names.size());
  if (size < 0) return errno;
  std::vector<char> value, present;
  for (const char* name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
    // Writing a file drops its capabilities, so the open would not keep them.
    if (std::strcmp(name, "security.capability") == 0) continue;
    ssize_t length = ::fgetxattr(from, name, nullptr, 0);
    if (length >= 0) {
      value.resize(static_cast<std::size_t>(length));
      length = ::fgetxattr(from, name, value.data(), value.size());
    }
    if (length < 0) return errno;
    value.resize(static_cast<std::size_t>(length));
    // The temporary may have inherited it already (a label, say).
    present.resize(value.size() + 1);
    if (::fgetxattr(to, name, present.data(), present.size()) == length &&
        std::equal(value.begin(), value.end(), present.begin())) {
      continue;
    }
    if (::fsetxattr(to, name, value.data(), value.size(), 0) != 0) return errno;
  }
  return 0;
}

// Gives `fd` the permission bits of `old` and checks that owner, group and
// bits are all as `old` has them: setting a set-group-ID bit the caller may
// not set fails silently.
int MatchMode(int fd, const struct stat& old) {
  struct stat now;
  if (::fstat(fd, &now) != 0) return errno;
  const mode_t mode = old.st_mode & kPermissionBits;
  if ((now.st_mode & kPermissionBits) != mode) {
    if (::fchmod(fd, mode) != 0 || ::fstat(fd, &now) != 0) return errno;
  }
  const bool same = now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
                    (now.st_mode & kPermissionBits) == mode;
  return same ? 0 : EPERM;
}

// Owner and group first: changing them clears the set-ID bits.
int CopyAttributes(int from, int to, const struct stat& old) {
  struct stat now;
  if (::fstat(to, &now) != 0) return errno;
  const uid_t uid = now.st_uid == old.st_uid ? static_cast<uid_t>(-1) : old.st_uid;
  const gid_t gid = now.st_gid == old.st_gid ? static_cast<gid_t>(-1) : old.st_gid;
  if ((uid != static_cast<uid_t>(-1) || gid != static_cast<gid_t>(-1)) &&
      ::fchown(to, uid, gid) != 0) {
    return errno;
  }
  const int error = CopyExtendedAttributes(from, to);
  return error != 0 ? error : MatchMode(to, old);
}

bool ProcLinkReaches(int fd) {
  char procPath[32];
  std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fd);
  struct stat byLink, byFd;
  return ::stat(procPath, &byLink) == 0 && ::fstat(fd, &byFd) == 0 && SameFile(byLink, byFd);
}

int LockExclusive(int fd) {
  int result;
  do {
    result = ::flock(fd, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : errno;
}

}  // namespace

struct FileReplacement::Native {
  ~Native() {
    Close(fd);
    Close(target);
    Close(dir);
  }

  int Prepare(const std::string& given) {
    path = given;
    // Before anything is opened: following a planted dangling link creates a
    // file, opening a planted FIFO wakes its reader.
    bool planted;
    const int resolved = ResolveLinks(path, dirPath, name, planted);
    if (planted) return EACCES;
    struct stat info;
    bool exists = ::stat(path.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return errno;
    if (exists && S_ISDIR(info.st_mode)) return EISDIR;
    struct stat link;
    const bool dangling = !exists && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    if (exists || dangling) {
      // The kernel's own create open, less the truncation, decides whether the
      // path may be written: it applies the protections of world-writable
      // sticky folders to a planted link, FIFO or file. A dangling link's
      // target is created by it, as the open would create it.
      const bool fifo = exists && S_ISFIFO(info.st_mode);  // must not wait for a reader
      target = OpenAt(AT_FDCWD, path.c_str(),
                      O_WRONLY | O_CREAT | O_NOCTTY | (fifo ? O_NONBLOCK : 0), 0666);
      if (target < 0 && fifo && errno == ENXIO) {
        openOnWrite = true;  // allowed, only no reader yet
        return 0;
      }
      if (target < 0) return errno;
      // The descriptor stays: a reader must not see its only writer go away.
      if (fifo && ::fcntl(target, F_SETFL, ::fcntl(target, F_GETFL) & ~O_NONBLOCK) != 0)
        return errno;
      if (::fstat(target, &info) != 0) return errno;
      if (resolved == 0 && PlantedIn(dirPath, info)) return EACCES;  // planted meanwhile
      if (!S_ISREG(info.st_mode)) return 0;  // FIFOs and devices are written, never replaced
      truncateOnWrite = !dangling;
      exists = true;
    }
    if (dangling && resolved == 0) created = Join(dirPath, name);
    if (exists && (resolved != 0 || info.st_nlink != 1 || IsMountRoot(target)))
      return 0;  // written in place: other names must see it, or no rename can reach it
    if (resolved != 0) return resolved;
    if (name.empty() || name == "." || name == "..") return EISDIR;

    if (PrepareTemporary(exists ? &info : nullptr) == 0) {
      replacing = true;
      return 0;
    }
    Close(dir);
    if (exists) return 0;  // the probe's descriptor writes in place
    const std::string fresh = Join(dirPath, name);
    target = OpenAt(AT_FDCWD, fresh.c_str(), O_WRONLY | O_NOCTTY | O_CREAT | O_EXCL, 0666);
    if (target < 0) return errno;
    created = fresh;
    return 0;
  }

  // A file mounted over a name (a bind mount) cannot be renamed over.
  static bool IsMountRoot(int file) {
    struct statx info {};
    return ::statx(file, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &info) == 0 &&
           (info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
           (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  }

  // A temporary in the file's folder carrying what the file carries; on
  // failure the file is written in place instead.
  int PrepareTemporary(const struct stat* existing) {
    dir = OpenAt(AT_FDCWD, dirPath.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir < 0) return errno;
    struct stat named;
    if (existing != nullptr && (::fstatat(dir, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
                                !SameFile(named, *existing))) {
      return ESTALE;  // the name moved under us
    }
    RemoveLeftovers(dir, name);
    // A new file is created as the open would create it: 0666 less the umask,
    // or what the folder's default ACL gives.
    int temporaryFd = -1;
    int error = CreateTemporary(existing != nullptr ? 0600 : 0666, temporaryFd);
    if (error == 0 && existing != nullptr) {
      error = CopyAttributes(target, temporaryFd, *existing);
      keepAttributes = true;
      old = *existing;
    }
    if (error != 0) {
      if (!temporary.empty()) ::unlinkat(dir, temporary.c_str(), 0);
      temporary.clear();
      unnamed = false;
      keepAttributes = false;
      Close(temporaryFd);
      return error;
    }
    fd = temporaryFd;
    return 0;
  }

  int CreateTemporary(mode_t mode, int& out) {
#ifdef O_TMPFILE
    if (!gNamedTemporaries) {
      out = OpenAt(dir, ".", O_TMPFILE | O_WRONLY, mode);
      // Naming it later goes through /proc; without that it must be named now.
      if (out >= 0 && ProcLinkReaches(out)) {
        LockExclusive(out);
        unnamed = true;
        return 0;
      }
      Close(out);
    }
#endif
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      std::string candidate = TemporaryName(name);
      out =
          OpenAt(dir, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY, mode);
      if (out < 0 && errno == EEXIST) continue;
      if (out < 0) return errno;
      // The name shows before the lock is held, and another save cleaning up
      // meanwhile takes it for a leftover: holding the lock, check it is ours.
      LockExclusive(out);
      if (Names(dir, candidate.c_str(), out)) {
        temporary = std::move(candidate);
        return 0;
      }
      Close(out);
    }
    return EEXIST;
  }

  // The descriptor the content goes to.
  int Out() const { return replacing ? fd : target; }

  // Writing in place begins as the open would have begun.
  int ReadyInPlace() {
    if (replacing) return 0;
    if (openOnWrite) {
      target = OpenAt(AT_FDCWD, path.c_str(), O_WRONLY | O_NOCTTY);
      if (target < 0) return errno;
      openOnWrite = false;
    }
    if (truncateOnWrite) {
      int result;
      do {
        result = ::ftruncate(target, 0);
      } while (result != 0 && errno == EINTR);
      if (result != 0) return errno;
      truncateOnWrite = false;
    }
    return 0;
  }

  int Finish() { return replacing ? FinishReplacement() : FinishInPlace(); }

  int FinishInPlace() {
    int error = ReadyInPlace();
    if (error == 0) {
      error = Sync(target);
      if (error == EINVAL || error == EROFS) error = 0;  // FIFOs and devices that do not sync
    }
    if (::close(target) != 0 && errno != EINTR && error == 0) error = errno;
    target = -1;
    if (error == 0) created.clear();
    return error;
  }

  // The order is what makes a kill harmless: the content is durable before
  // the rename, and the rename before the save reports success.
  int FinishReplacement() {
    // Writes by a user who may not keep set-ID bits cleared them.
    int error = keepAttributes ? MatchMode(fd, old) : 0;
    if (error == 0) error = Sync(fd);
    if (error == 0 && unnamed) error = LinkTemporary();
    if (error != 0) return error;
    if (::renameat(dir, temporary.c_str(), dir, name.c_str()) != 0) return errno;
    temporary.clear();
    created.clear();
    error = Sync(dir);
    if (error == EINVAL) error = 0;  // a folder that cannot be synced
    if (::close(fd) != 0 && errno != EINTR && error == 0) error = errno;
    fd = -1;
    Close(target);
    Close(dir);
    return error;
  }

  // Named just before the rename, so a save killed earlier leaves nothing.
  int LinkTemporary() {
    char procPath[32];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      std::string candidate = TemporaryName(name);
      if (::linkat(AT_FDCWD, procPath, dir, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporary = std::move(candidate);
        unnamed = false;
        return 0;
      }
      if (errno != EEXIST) return errno;
    }
    return EEXIST;
  }

  void Abandon() noexcept {
    if (!temporary.empty()) ::unlinkat(dir, temporary.c_str(), 0);
    temporary.clear();
    struct stat byName, byFd;
    if (!created.empty() && target >= 0 && ::lstat(created.c_str(), &byName) == 0 &&
        ::fstat(target, &byFd) == 0 && SameFile(byName, byFd)) {
      ::unlink(created.c_str());
    }
    created.clear();
    Close(fd);
    Close(target);
    Close(dir);
    replacing = unnamed = openOnWrite = truncateOnWrite = keepAttributes = false;
  }

  std::string path;          // as the caller named it, in the file system's bytes
  std::string dirPath;       // the folder of the file the path resolves to
  std::string name;          // that file's name there
  int dir = -1;              // that folder, while a temporary lives in it
  int target = -1;           // the file the path names, opened as the open would open it
  int fd = -1;               // the temporary, while replacing
  bool replacing = false;    // a temporary will replace the file
  std::string temporary;     // the temporary's name while it has one
  bool unnamed = false;      // an unnamed temporary, not linked yet
  bool openOnWrite = false;  // a FIFO without a reader: writing opens it, waiting as the open would
  bool truncateOnWrite = false;  // a regular file written in place: writing truncates it
  std::string created;           // a file this save created, removed if the save is abandoned
  bool keepAttributes = false;   // the temporary must carry `old`'s owner, group and mode
  struct stat old {};
};

void FileReplacement::NativeDeleter::operator()(Native* native) const noexcept { delete native; }

void UseNamedTemporariesForTesting(bool named) noexcept { gNamedTemporaries = named; }

int FileReplacement::PrepareNative(const std::string& path) {
  m_native.reset(new Native);
  return m_native->Prepare(path);
}

int FileReplacement::WriteNative(const char* data, std::size_t size, std::size_t& written) {
  written = 0;
  const int error = m_native->ReadyInPlace();
  return error != 0 ? error : WriteAll(m_native->Out(), data, size, written);
}

int FileReplacement::FinishNative() { return m_native->Finish(); }

void FileReplacement::AbandonNative() noexcept { m_native->Abandon(); }

}  // namespace platform
}  // namespace corvane
