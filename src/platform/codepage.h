// Conversions between the narrow code page (936, GBK), wide text (wchar_t,
// whole code points), UTF-8 and UTF-16LE. Every function but the strict one
// and Utf16LeToNarrow reads its input up to the first NUL (or the given
// length, whichever comes first) and never fails on malformed input: invalid
// narrow bytes become U+FFFD, characters that code page 936 cannot hold
// become '?'. Wide text is UTF-32 on POSIX and UTF-16 on Windows. The
// converter is glibc's iconv on POSIX and the system's own on Windows. Empty input gives empty
// output, and plain ASCII is copied without the converter. Safe to call from several threads at
// once: each thread keeps converters of its own.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {
namespace platform {

// The narrow code page's name for the converter, its number for the Windows
// conversion functions, and its default character.
constexpr const char kNarrowCodePage[] = "CP936";
constexpr unsigned kNarrowCodePageNumber = 936;
constexpr char kDefaultChar = '?';

bool IsAscii(const char* text, std::size_t length) noexcept;

std::wstring NarrowToWide(const char* text, std::size_t length);
std::string WideToNarrow(const wchar_t* text, std::size_t length);

// Appending forms for hot paths that reuse one buffer.
void AppendNarrowAsUtf8(std::string& out, const char* text, std::size_t length);
void AppendUtf8AsNarrow(std::string& out, const char* text, std::size_t length);

// Strict: appends the UTF-8 form of exactly `length` bytes (NULs included)
// and answers true, or answers false and appends nothing when the bytes are
// not valid code page 936 text. For names and paths, which must not alias.
bool AppendNarrowAsUtf8Strict(std::string& out, const char* text, std::size_t length);

// `units` UTF-16 code units stored little-endian at `bytes`, all of them:
// a NUL unit becomes a NUL byte.
std::string Utf16LeToNarrow(const unsigned char* bytes, std::size_t units);

}  // namespace platform
}  // namespace corvane
