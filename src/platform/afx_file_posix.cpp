#include <corvane/platform/afx_file.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include "platform/native_path.h"

namespace {

// Bytes that are not code page 936 text name no file: a lenient conversion
// would let two different paths reach the same one.
constexpr int kBadPathError = EILSEQ;

// The file system's form of `path`, or a throw of badPath naming it.
std::string NativePathOrThrow(LPCSTR path) {
  std::string native;
  if (!corvane::platform::NativePath(path, native)) {
    const int osError = (path == nullptr || *path == '\0') ? ENOENT : kBadPathError;
    AfxThrowFileException(CFileException::badPath, osError, path);
  }
  return native;
}

int OpenFlagsFor(UINT flags) {
  int result = O_CLOEXEC;
  switch (flags & 3) {
    case CFile::modeWrite:
      result |= O_WRONLY;
      break;
    case CFile::modeReadWrite:
      result |= O_RDWR;
      break;
    default:
      result |= O_RDONLY;
      break;
  }
  if (flags & CFile::modeCreate) {
    result |= O_CREAT;
    if (!(flags & CFile::modeNoTruncate)) result |= O_TRUNC;
  }
  return result;
}

void FillError(CFileException* error, int osError, LPCSTR path) {
  if (error == nullptr) return;
  error->m_cause = CFileException::OsErrorToException(osError);
  error->m_lOsError = osError;
  error->m_strFileName = path;
}

// A single read or write may move fewer bytes than asked; the kernel also
// caps one call near 2 GiB.
constexpr std::size_t kMaxSingleTransfer = 1u << 30;

}  // namespace

CFile::~CFile() { Abort(); }

BOOL CFile::Open(LPCSTR path, UINT flags, CFileException* error) {
  Abort();
  if (path == nullptr || *path == '\0') {
    FillError(error, ENOENT, path);
    return FALSE;
  }
  std::string fsPath;
  if (!corvane::platform::NativePath(path, fsPath)) {
    FillError(error, kBadPathError, path);
    return FALSE;
  }
  int fd;
  do {
    fd = ::open(fsPath.c_str(), OpenFlagsFor(flags), 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    FillError(error, errno, path);
    return FALSE;
  }
  // A directory opens for reading on this system but not on the framework's:
  // refuse it here so that callers see the same quiet failure.
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int osError = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    FillError(error, osError, path);
    return FALSE;
  }
  m_fd = fd;
  m_strFileName = path;
  if (error != nullptr) {
    error->m_cause = CFileException::none;
    error->m_lOsError = 0;
  }
  return TRUE;
}

UINT CFile::Read(void* buffer, UINT count) {
  RequireOpen();
  char* out = static_cast<char*>(buffer);
  UINT done = 0;
  while (done < count) {
    const std::size_t want = std::min<std::size_t>(count - done, kMaxSingleTransfer);
    const ssize_t got = ::read(m_fd, out + done, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowLastError();
    }
    if (got == 0) break;
    done += static_cast<UINT>(got);
  }
  return done;
}

void CFile::Write(const void* buffer, UINT count) {
  RequireOpen();
  const char* in = static_cast<const char*>(buffer);
  UINT done = 0;
  while (done < count) {
    const std::size_t want = std::min<std::size_t>(count - done, kMaxSingleTransfer);
    const ssize_t put = ::write(m_fd, in + done, want);
    if (put < 0) {
      if (errno == EINTR) continue;
      ThrowLastError();
    }
    if (put == 0) AfxThrowFileException(CFileException::diskFull, ENOSPC, m_strFileName);
    done += static_cast<UINT>(put);
  }
}

void CFile::Flush() {
  RequireOpen();
  if (::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS) ThrowLastError();
}

void CFile::Close() {
  if (m_fd < 0) return;
  const int fd = m_fd;
  m_fd = -1;
  // The descriptor is released even when close reports an error (EINTR
  // included), so it is never retried.
  if (::close(fd) != 0 && errno != EINTR) {
    AfxThrowFileException(CFileException::OsErrorToException(errno), errno, m_strFileName);
  }
}

void CFile::Abort() noexcept {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

ULONGLONG CFile::GetLength() const {
  RequireOpen();
  struct stat info;
  if (::fstat(m_fd, &info) != 0) ThrowLastError();
  return static_cast<ULONGLONG>(info.st_size);
}

ULONGLONG CFile::GetPosition() const {
  RequireOpen();
  const off_t position = ::lseek(m_fd, 0, SEEK_CUR);
  if (position < 0) ThrowLastError();
  return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  RequireOpen();
  const int whence = from == end ? SEEK_END : from == current ? SEEK_CUR : SEEK_SET;
  const off_t position = ::lseek(m_fd, static_cast<off_t>(offset), whence);
  if (position < 0) {
    AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  }
  return static_cast<ULONGLONG>(position);
}

void CFile::Rename(LPCSTR oldName, LPCSTR newName) {
  const std::string from = NativePathOrThrow(oldName);
  const std::string to = NativePathOrThrow(newName);
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    AfxThrowFileException(CFileException::OsErrorToException(errno), errno, oldName);
  }
}

void CFile::Remove(LPCSTR fileName) {
  if (::unlink(NativePathOrThrow(fileName).c_str()) != 0) {
    AfxThrowFileException(CFileException::OsErrorToException(errno), errno, fileName);
  }
}

void CFile::ThrowLastError() const {
  const int osError = errno;
  AfxThrowFileException(CFileException::OsErrorToException(osError), osError, m_strFileName);
}

void CFile::RequireOpen() const {
  if (m_fd < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
}
