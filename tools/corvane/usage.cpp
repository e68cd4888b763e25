#include <cstdio>

#include "corvane/commands.h"

namespace corvane {
namespace tool {

int UsageError(const std::string& message, const char* usage) {
  std::fprintf(stderr, "corvane: %s\n\n%s", message.c_str(), usage);
  return kExitUsage;
}

bool WantsHelp(const Arguments& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

}  // namespace tool
}  // namespace corvane
