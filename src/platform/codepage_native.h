// The system converter's side of codepage.h, one implementation per platform
// (codepage_posix.cpp, codepage_win32.cpp). codepage.cpp handles null, empty
// and ASCII text before any of these is called; each appends to `out` and
// replaces what it cannot convert as codepage.h says, one replacement per
// invalid byte (narrow or UTF-16 input) or per rejected character (UTF-8).
#pragma once

#include <cstddef>
#include <string>

namespace corvane {
namespace platform {

void ConvertNarrowToWide(const char* text, std::size_t length, std::wstring& out);
void ConvertWideToNarrow(const wchar_t* text, std::size_t length, std::string& out);
void ConvertNarrowToUtf8(const char* text, std::size_t length, std::string& out);
void ConvertUtf8ToNarrow(const char* text, std::size_t length, std::string& out);
// Appends nothing and answers false on bytes that are not code page 936 text.
bool ConvertNarrowToUtf8Strict(const char* text, std::size_t length, std::string& out);
void ConvertUtf16LeToNarrow(const unsigned char* bytes, std::size_t units, std::string& out);

// How many bytes one rejected UTF-8 character spans: a whole well-formed
// sequence (a valid character the target cannot hold), else one byte.
std::size_t Utf8Span(const char* text, std::size_t left);

}  // namespace platform
}  // namespace corvane
