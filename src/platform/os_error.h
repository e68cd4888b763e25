// The operating system's error codes that the platform-independent parts of
// the library report themselves (errno values on POSIX, system error codes
// on Windows), so that every failure carries the code of the system it ran on.
// CFileException::OsErrorToException reads the same codes.
#pragma once

namespace corvane {
namespace platform {

extern const int kErrorFileNotFound;  // a null or empty path
extern const int kErrorBadPath;       // a path whose bytes are not code page 936 text
extern const int kErrorNoMemory;
extern const int kErrorNotOpen;  // an operation on a file that is not open

}  // namespace platform
}  // namespace corvane
