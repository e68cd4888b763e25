#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/native_path.h"
#include "platform/readable_file.h"

namespace corvane {
namespace platform {

ReadableFile::~ReadableFile() {
  if (m_fd >= 0) ::close(m_fd);
}

bool ReadableFile::Open(const char* narrowPath) {
  NativePathString path;
  if (m_fd >= 0 || !NativePath(narrowPath, path)) return false;
  // O_NONBLOCK keeps a FIFO from holding the open; it is refused below anyway.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  m_size = static_cast<unsigned long long>(info.st_size);
  return true;
}

long long ReadableFile::Read(void* buffer, std::size_t size) {
  if (m_fd < 0) return -1;
  for (;;) {
    const ssize_t got = ::read(m_fd, buffer, size);
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

bool ReadableFile::Rewind() { return m_fd >= 0 && ::lseek(m_fd, 0, SEEK_SET) == 0; }

}  // namespace platform
}  // namespace corvane
