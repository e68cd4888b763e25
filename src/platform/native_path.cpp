#include "platform/native_path.h"

#include <cstring>

#include "platform/codepage.h"

namespace corvane {
namespace platform {

bool NativePath(const char* narrowPath, std::string& native) {
  native.clear();
  if (narrowPath == nullptr || *narrowPath == '\0') return false;
  return AppendNarrowAsUtf8Strict(native, narrowPath, std::strlen(narrowPath));
}

}  // namespace platform
}  // namespace corvane
