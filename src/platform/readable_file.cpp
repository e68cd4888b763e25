#include "platform/readable_file.h"

namespace corvane {
namespace platform {

bool ReadWholeFile(const char* narrowPath, std::string& bytes) {
  ReadableFile file;
  if (!file.Open(narrowPath)) return false;
  bytes.resize(static_cast<std::size_t>(file.SizeAtOpen()));
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const long long got = file.Read(&bytes[filled], bytes.size() - filled);
    if (got < 0) return false;
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return true;
}

}  // namespace platform
}  // namespace corvane
