// The platform-independent part of the conversions: null, empty and ASCII
// text never reach the system converter.
#include "platform/codepage.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

#include "platform/codepage_native.h"

namespace corvane {
namespace platform {
namespace {

std::size_t BoundedLength(const char* text, std::size_t length) {
  const void* nul = std::memchr(text, '\0', length);
  return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : length;
}

std::size_t BoundedLength(const wchar_t* text, std::size_t length) {
  const wchar_t* nul = std::wmemchr(text, L'\0', length);
  return nul ? static_cast<std::size_t>(nul - text) : length;
}

}  // namespace

std::size_t Utf8Span(const char* text, std::size_t left) {
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  const std::size_t span = lead >= 0xF0 && lead <= 0xF4 ? 4
                           : lead >= 0xE0               ? 3
                           : lead >= 0xC2               ? 2
                                                        : 1;
  if (span > left || lead >= 0xF5) return 1;
  for (std::size_t i = 1; i < span; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  }
  return span;
}

bool IsAscii(const char* text, std::size_t length) noexcept {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080ull) return false;
  }
  for (; i < length; ++i) {
    if (p[i] & 0x80) return false;
  }
  return true;
}

std::wstring NarrowToWide(const char* text, std::size_t length) {
  std::wstring result;
  if (text == nullptr) return result;
  length = BoundedLength(text, length);
  if (IsAscii(text, length)) {
    result.resize(length);
    for (std::size_t i = 0; i < length; ++i) result[i] = static_cast<unsigned char>(text[i]);
    return result;
  }
  ConvertNarrowToWide(text, length, result);
  return result;
}

std::string WideToNarrow(const wchar_t* text, std::size_t length) {
  std::string result;
  if (text == nullptr) return result;
  length = BoundedLength(text, length);
  bool ascii = true;
  for (std::size_t i = 0; i < length && ascii; ++i) ascii = static_cast<unsigned>(text[i]) < 0x80;
  if (ascii) {
    result.resize(length);
    for (std::size_t i = 0; i < length; ++i) result[i] = static_cast<char>(text[i]);
    return result;
  }
  ConvertWideToNarrow(text, length, result);
  return result;
}

void AppendNarrowAsUtf8(std::string& out, const char* text, std::size_t length) {
  if (text == nullptr) return;
  length = BoundedLength(text, length);
  if (IsAscii(text, length)) {
    out.append(text, length);
    return;
  }
  ConvertNarrowToUtf8(text, length, out);
}

void AppendUtf8AsNarrow(std::string& out, const char* text, std::size_t length) {
  if (text == nullptr) return;
  length = BoundedLength(text, length);
  if (IsAscii(text, length)) {
    out.append(text, length);
    return;
  }
  ConvertUtf8ToNarrow(text, length, out);
}

bool AppendNarrowAsUtf8Strict(std::string& out, const char* text, std::size_t length) {
  if (text == nullptr) return true;
  if (IsAscii(text, length)) {
    out.append(text, length);
    return true;
  }
  return ConvertNarrowToUtf8Strict(text, length, out);
}

std::string Utf16LeToNarrow(const unsigned char* bytes, std::size_t units) {
  std::string result;
  if (bytes == nullptr) return result;
  // Every unit counts, NUL included: an archive string keeps its NULs.
  bool ascii = true;
  for (std::size_t i = 0; i < units && ascii; ++i) {
    ascii = bytes[2 * i + 1] == 0 && bytes[2 * i] < 0x80;
  }
  if (ascii) {
    result.resize(units);
    for (std::size_t i = 0; i < units; ++i) result[i] = static_cast<char>(bytes[2 * i]);
    return result;
  }
  ConvertUtf16LeToNarrow(bytes, units, result);
  return result;
}

}  // namespace platform
}  // namespace corvane
