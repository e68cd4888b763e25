#include "xmldom/atomic_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace corvane {
namespace xmldom {
namespace {

// Attempts at a free temporary name before giving up.
constexpr int kNameAttempts = 64;
// Permission bits of a new file, before the umask.
constexpr mode_t kNewFileMode = 0644;

std::string RandomSuffix() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 generator{std::random_device{}() ^
                                         (static_cast<std::uint64_t>(::getpid()) << 32)};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof(kLetters) - 2);
  std::string suffix(".tmp");
  for (int i = 0; i < 6; ++i) suffix += kLetters[pick(generator)];
  return suffix;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)) {}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

bool AtomicFileWriter::Begin() {
  struct stat target;
  const bool keepMode = ::stat(path_.c_str(), &target) == 0 && S_ISREG(target.st_mode);
  // The temporary file is created with the final mode so the umask applies to
  // a new file as it would to any file the user makes.
  const mode_t mode = keepMode ? (target.st_mode & 07777) : kNewFileMode;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = path_ + RandomSuffix();
    fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
    if (fd_ >= 0) {
      temporary_ = std::move(candidate);
      if (keepMode) (void)::fchmod(fd_, mode);  // the umask may have narrowed it
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

void AtomicFileWriter::Write(const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0 && !failed_ && fd_ >= 0) {
    const ssize_t done = ::write(fd_, bytes, size);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      failed_ = true;
      return;
    }
    bytes += done;
    size -= static_cast<size_t>(done);
  }
}

bool AtomicFileWriter::Commit() {
  if (fd_ < 0 || failed_) {
    Discard();
    return false;
  }
  const bool synced = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!synced || !closed || ::rename(temporary_.c_str(), path_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace xmldom
}  // namespace corvane
