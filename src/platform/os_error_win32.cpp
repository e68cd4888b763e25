#include <corvane/platform/afx_exception.h>
#include <windows.h>

#include "platform/os_error.h"

namespace corvane {
namespace platform {

const int kErrorFileNotFound = ERROR_FILE_NOT_FOUND;
const int kErrorBadPath = ERROR_INVALID_NAME;
const int kErrorNoMemory = ERROR_NOT_ENOUGH_MEMORY;
const int kErrorNotOpen = ERROR_INVALID_HANDLE;

}  // namespace platform
}  // namespace corvane

int CFileException::OsErrorToException(LONG osError) noexcept {
  switch (osError) {
    case 0:
      return none;
    case ERROR_FILE_NOT_FOUND:
      return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
      return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
      return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_INVALID_HANDLE:
      return accessDenied;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
      return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
      return hardIO;
    case ERROR_SHARING_VIOLATION:
      return sharingViolation;
    case ERROR_LOCK_VIOLATION:
      return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_FILE_TOO_LARGE:
      return diskFull;
    case ERROR_HANDLE_EOF:
      return endOfFile;
    default:
      return genericException;
  }
}
