// Windows: the C runtime's descriptor over the wide API, binary, sharing
// reading and writing with other openers.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include "platform/native_path.h"
#include "platform/readable_file.h"

namespace corvane {
namespace platform {

ReadableFile::~ReadableFile() {
  if (m_fd >= 0) ::_close(m_fd);
}

bool ReadableFile::Open(const char* narrowPath) {
  NativePathString path;
  if (m_fd >= 0 || !NativePath(narrowPath, path)) return false;
  int fd = -1;
  if (::_wsopen_s(&fd, path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, 0) != 0) {
    return false;
  }
  struct _stat64 info;
  if (::_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG || info.st_size < 0) {
    ::_close(fd);
    return false;
  }
  m_fd = fd;
  m_size = static_cast<unsigned long long>(info.st_size);
  return true;
}

long long ReadableFile::Read(void* buffer, std::size_t size) {
  if (m_fd < 0) return -1;
  const unsigned int want = size > (1u << 30) ? (1u << 30) : static_cast<unsigned int>(size);
  return ::_read(m_fd, buffer, want);
}

bool ReadableFile::Rewind() { return m_fd >= 0 && ::_lseeki64(m_fd, 0, SEEK_SET) == 0; }

}  // namespace platform
}  // namespace corvane
