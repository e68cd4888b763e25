// CFile on Windows: the C runtime's descriptors over handles the wide API
// opens, always binary, shared with other readers and writers as the
// framework's shareDenyNone would. Failures carry the system's error code.
#include <corvane/platform/afx_file.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/native_path.h"
#include "platform/os_error.h"

namespace {

using corvane::platform::kErrorBadPath;
using corvane::platform::kErrorFileNotFound;
using corvane::platform::NativePathString;

// The system's code of the C runtime's last failure.
LONG LastRuntimeError() {
  const unsigned long code = _doserrno;
  return code != 0 ? static_cast<LONG>(code) : static_cast<LONG>(ERROR_INVALID_HANDLE);
}

LONG BadPathError(LPCSTR path) {
  return (path == nullptr || *path == '\0') ? kErrorFileNotFound : kErrorBadPath;
}

NativePathString NativePathOrThrow(LPCSTR path) {
  NativePathString native;
  if (!corvane::platform::NativePath(path, native)) {
    AfxThrowFileException(CFileException::badPath, BadPathError(path), path);
  }
  return native;
}

int OpenFlagsFor(UINT flags) {
  int result = _O_BINARY | _O_NOINHERIT;
  switch (flags & 3) {
    case CFile::modeWrite:
      result |= _O_WRONLY;
      break;
    case CFile::modeReadWrite:
      result |= _O_RDWR;
      break;
    default:
      result |= _O_RDONLY;
      break;
  }
  if (flags & CFile::modeCreate) {
    result |= _O_CREAT;
    if (!(flags & CFile::modeNoTruncate)) result |= _O_TRUNC;
  }
  return result;
}

void FillError(CFileException* error, LONG osError, LPCSTR path) {
  if (error == nullptr) return;
  error->m_cause = CFileException::OsErrorToException(osError);
  error->m_lOsError = osError;
  error->m_strFileName = path;
}

constexpr UINT kMaxSingleTransfer = 1u << 30;

}  // namespace

CFile::~CFile() { Abort(); }

BOOL CFile::Open(LPCSTR path, UINT flags, CFileException* error) {
  Abort();
  NativePathString fsPath;
  if (!corvane::platform::NativePath(path, fsPath)) {
    FillError(error, BadPathError(path), path);
    return FALSE;
  }
  // A folder does not open: the system refuses it with access denied.
  const DWORD attributes = ::GetFileAttributesW(fsPath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    FillError(error, ERROR_ACCESS_DENIED, path);
    return FALSE;
  }
  int fd = -1;
  _doserrno = 0;
  if (::_wsopen_s(&fd, fsPath.c_str(), OpenFlagsFor(flags), _SH_DENYNO, _S_IREAD | _S_IWRITE) !=
      0) {
    FillError(error, LastRuntimeError(), path);
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
    const UINT want = std::min(count - done, kMaxSingleTransfer);
    _doserrno = 0;
    const int got = ::_read(m_fd, out + done, want);
    if (got < 0) ThrowLastError();
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
    const UINT want = std::min(count - done, kMaxSingleTransfer);
    _doserrno = 0;
    const int put = ::_write(m_fd, in + done, want);
    if (put < 0) ThrowLastError();
    if (put == 0) AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
    done += static_cast<UINT>(put);
  }
}

void CFile::Flush() {
  RequireOpen();
  const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(m_fd));
  // Consoles and pipes have nothing to flush.
  if (!::FlushFileBuffers(handle) && ::GetFileType(handle) == FILE_TYPE_DISK) {
    const LONG osError = static_cast<LONG>(::GetLastError());
    AfxThrowFileException(CFileException::OsErrorToException(osError), osError, m_strFileName);
  }
}

void CFile::Close() {
  if (m_fd < 0) return;
  const int fd = m_fd;
  m_fd = -1;
  _doserrno = 0;
  if (::_close(fd) != 0) ThrowLastError();
}

void CFile::Abort() noexcept {
  if (m_fd >= 0) ::_close(m_fd);
  m_fd = -1;
}

ULONGLONG CFile::GetLength() const {
  RequireOpen();
  _doserrno = 0;
  const __int64 length = ::_filelengthi64(m_fd);
  if (length < 0) ThrowLastError();
  return static_cast<ULONGLONG>(length);
}

ULONGLONG CFile::GetPosition() const {
  RequireOpen();
  _doserrno = 0;
  const __int64 position = ::_telli64(m_fd);
  if (position < 0) ThrowLastError();
  return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  RequireOpen();
  const int whence = from == end ? SEEK_END : from == current ? SEEK_CUR : SEEK_SET;
  _doserrno = 0;
  const __int64 position = ::_lseeki64(m_fd, offset, whence);
  if (position < 0) {
    AfxThrowFileException(CFileException::badSeek, LastRuntimeError(), m_strFileName);
  }
  return static_cast<ULONGLONG>(position);
}

void CFile::Rename(LPCSTR oldName, LPCSTR newName) {
  const NativePathString from = NativePathOrThrow(oldName);
  const NativePathString to = NativePathOrThrow(newName);
  // Over an existing file too, as rename does on POSIX.
  if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
    const LONG osError = static_cast<LONG>(::GetLastError());
    AfxThrowFileException(CFileException::OsErrorToException(osError), osError, oldName);
  }
}

void CFile::Remove(LPCSTR fileName) {
  if (!::DeleteFileW(NativePathOrThrow(fileName).c_str())) {
    const LONG osError = static_cast<LONG>(::GetLastError());
    AfxThrowFileException(CFileException::OsErrorToException(osError), osError, fileName);
  }
}

void CFile::ThrowLastError() const {
  const LONG osError = LastRuntimeError();
  AfxThrowFileException(CFileException::OsErrorToException(osError), osError, m_strFileName);
}

void CFile::RequireOpen() const {
  if (m_fd < 0) {
    AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
  }
}
