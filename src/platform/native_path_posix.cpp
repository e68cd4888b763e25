#include <cstring>

#include "platform/codepage.h"
#include "platform/native_path.h"

namespace corvane {
namespace platform {

bool NativePath(const char* narrowPath, NativePathString& native) {
  native.clear();
  if (narrowPath == nullptr || *narrowPath == '\0') return false;
  return AppendNarrowAsUtf8Strict(native, narrowPath, std::strlen(narrowPath));
}

}  // namespace platform
}  // namespace corvane
