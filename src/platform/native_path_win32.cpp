#include <windows.h>

#include <climits>
#include <cstring>

#include "platform/codepage.h"
#include "platform/native_path.h"

namespace corvane {
namespace platform {

bool NativePath(const char* narrowPath, NativePathString& native) {
  native.clear();
  if (narrowPath == nullptr || *narrowPath == '\0') return false;
  const std::size_t length = std::strlen(narrowPath);
  if (length > INT_MAX) return false;
  // Strict: bytes that are not code page 936 text name no file.
  const int size = static_cast<int>(length);
  const int units = ::MultiByteToWideChar(kNarrowCodePageNumber, MB_ERR_INVALID_CHARS, narrowPath,
                                          size, nullptr, 0);
  if (units <= 0) return false;
  native.resize(static_cast<std::size_t>(units));
  if (::MultiByteToWideChar(kNarrowCodePageNumber, MB_ERR_INVALID_CHARS, narrowPath, size,
                            &native[0], units) != units) {
    native.clear();
    return false;
  }
  return true;
}

}  // namespace platform
}  // namespace corvane
