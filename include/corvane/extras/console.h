// A library addition for command-line tools, not part of the host's
// interface: a program's streams and arguments the same on every platform.
// Output is written byte for byte (no line-end translation), UTF-8 shows as
// text on a Windows console, and arguments arrive as UTF-8 (Windows hands a
// program its arguments in the ANSI code page, which cannot hold every file
// name). Call PrepareConsole once, first thing in main.
#pragma once

#include <corvane/export.h>

#include <cstdio>
#include <string>
#include <vector>

namespace corvane {

// Prepares standard output and error; answers the arguments after the
// program's name, in UTF-8.
CORVANE_API std::vector<std::string> PrepareConsole(int argc, char** argv);

// Whether `stream` is a console a person watches (on Windows a console, not
// any character device: NUL is one too).
CORVANE_API bool IsConsole(std::FILE* stream);

}  // namespace corvane
