// What the tool writes to people: library texts (code page 936) converted to
// UTF-8 for the terminal, and a progress bar on standard error that only
// draws when standard error is a terminal.
#pragma once

#include <corvane/platform/cstring.h>
#include <corvane/xmlio/progress.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace corvane {
namespace tool {

// UTF-8 text as the library's narrow (code page 936) text; what the code
// page cannot hold becomes '?'.
CString NarrowText(const std::string& utf8);
// A UTF-8 command-line path as narrow text; "" (a path that never opens)
// when code page 936 cannot hold it exactly.
CString NarrowPath(const std::string& utf8);

// UTF-8 text as narrow text, exactly: false (and `narrow` untouched) when
// the text is not UTF-8 or holds a character code page 936 cannot hold.
bool NarrowExactly(const char* utf8, std::size_t length, CString& narrow);

// Code page 936 text as UTF-8.
std::string Utf8(const CString& text);
// Writes `text` to `out` as UTF-8 piece by piece: a text as large as a file
// costs no UTF-8 copy of its own.
void WriteUtf8(std::FILE* out, const CString& text);
std::string Utf8(const std::string& text);

// Callbacks that draw "message [#####     ]  57%" on standard error.
struct ProgressBar {
  StartProgressFun start;
  SetPosFun position;
  EndProgressFun end;
};
// An active bar when standard error is a terminal (or `force`), else empty callbacks.
ProgressBar MakeProgressBar(bool force = false);

}  // namespace tool
}  // namespace corvane
