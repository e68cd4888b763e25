#include <corvane/platform/afx_exception.h>

#include <cerrno>

#include "platform/os_error.h"

namespace corvane {
namespace platform {

const int kErrorFileNotFound = ENOENT;
const int kErrorBadPath = EILSEQ;
const int kErrorNoMemory = ENOMEM;
const int kErrorNotOpen = EBADF;

}  // namespace platform
}  // namespace corvane

int CFileException::OsErrorToException(LONG osError) noexcept {
  switch (osError) {
    case 0:
      return none;
    case ENOENT:
      return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
    case EILSEQ:  // a path whose bytes are not code page 936 text
      return badPath;
    case EMFILE:
    case ENFILE:
      return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBADF:
      return accessDenied;
    case ESPIPE:
      return badSeek;
    case EIO:
      return hardIO;
    case EBUSY:
    case ETXTBSY:
      return sharingViolation;
    case ENOLCK:
      return lockViolation;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return diskFull;
    default:
      return genericException;
  }
}
