#include <corvane/extras/console.h>
#include <unistd.h>

namespace corvane {

std::vector<std::string> PrepareConsole(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool IsConsole(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

}  // namespace corvane
