// The tool's streams and arguments as the rest of it expects them on every
// platform: output written byte for byte (no line-end translation), UTF-8
// shown as text on a Windows console, and the command line's arguments as
// UTF-8 (Windows hands a program its arguments in the ANSI code page, which
// cannot hold every file name).
#pragma once

#include <string>
#include <vector>

namespace corvane {
namespace tool {

// Prepares standard output and error; answers the arguments after the
// program's name, in UTF-8.
std::vector<std::string> PrepareConsole(int argc, char** argv);

}  // namespace tool
}  // namespace corvane
