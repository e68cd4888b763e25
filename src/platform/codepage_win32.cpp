// Code page 936 through the system's own converter (MultiByteToWideChar and
// WideCharToMultiByte), which keeps no state between calls. Wide text is
// UTF-16 here. A whole text is converted in one call; only text with invalid
// bytes is walked unit by unit, so that each invalid unit gets one
// replacement as on POSIX. Texts are far below 2 GiB.
#include <windows.h>

#include "platform/codepage.h"
#include "platform/codepage_native.h"
#include "platform/win32_text.h"

namespace corvane {
namespace platform {
namespace {

constexpr wchar_t kWideReplacement = L'\xFFFD';

// Narrow text to UTF-16, U+FFFD for each byte that starts no valid character.
void NarrowToUtf16(const char* text, std::size_t length, std::wstring& out) {
  if (StrictToWide(kNarrowCodePageNumber, text, length, out)) return;
  for (std::size_t at = 0; at < length;) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const std::size_t unit = lead >= 0x81 && lead <= 0xFE && at + 1 < length ? 2 : 1;
    if (StrictToWide(kNarrowCodePageNumber, text + at, unit, out)) {
      at += unit;
    } else {
      out += kWideReplacement;
      ++at;
    }
  }
}

// UTF-8 to UTF-16, U+FFFD for each character that is not well-formed.
void Utf8ToUtf16(const char* text, std::size_t length, std::wstring& out) {
  if (StrictToWide(CP_UTF8, text, length, out)) return;
  for (std::size_t at = 0; at < length;) {
    const std::size_t unit = Utf8Span(text + at, length - at);
    if (!StrictToWide(CP_UTF8, text + at, unit, out)) out += kWideReplacement;
    at += unit;
  }
}

}  // namespace

bool StrictToWide(UINT codePage, const char* text, std::size_t length, std::wstring& out) {
  const int size = static_cast<int>(length);
  const int units = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, size, nullptr, 0);
  if (units <= 0) return false;
  const std::size_t used = out.size();
  out.resize(used + static_cast<std::size_t>(units));
  ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, size, &out[used], units);
  return true;
}

void WideToBytes(UINT codePage, const wchar_t* text, std::size_t length, std::string& out) {
  if (length == 0) return;
  const bool narrow = codePage == kNarrowCodePageNumber;
  const DWORD flags = narrow ? WC_NO_BEST_FIT_CHARS : 0;
  const char kDefault[] = {kDefaultChar, '\0'};
  const char* defaultChar = narrow ? kDefault : nullptr;
  const int size = static_cast<int>(length);
  const int bytes =
      ::WideCharToMultiByte(codePage, flags, text, size, nullptr, 0, defaultChar, nullptr);
  if (bytes <= 0) return;
  const std::size_t used = out.size();
  out.resize(used + static_cast<std::size_t>(bytes));
  ::WideCharToMultiByte(codePage, flags, text, size, &out[used], bytes, defaultChar, nullptr);
}

void ConvertNarrowToWide(const char* text, std::size_t length, std::wstring& out) {
  NarrowToUtf16(text, length, out);
}

// Code page 936 holds no character beyond the basic plane: each becomes one
// default character, as a whole code point does on POSIX, not one per unit.
void ConvertWideToNarrow(const wchar_t* text, std::size_t length, std::string& out) {
  std::wstring units(text, length);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const bool pair = units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < length &&
                      units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
    units[kept++] = pair ? L'?' : units[i];
    if (pair) ++i;
  }
  WideToBytes(kNarrowCodePageNumber, units.data(), kept, out);
}

void ConvertNarrowToUtf8(const char* text, std::size_t length, std::string& out) {
  std::wstring wide;
  NarrowToUtf16(text, length, wide);
  WideToBytes(CP_UTF8, wide.data(), wide.size(), out);
}

void ConvertUtf8ToNarrow(const char* text, std::size_t length, std::string& out) {
  std::wstring wide;
  Utf8ToUtf16(text, length, wide);
  WideToBytes(kNarrowCodePageNumber, wide.data(), wide.size(), out);
}

bool ConvertNarrowToUtf8Strict(const char* text, std::size_t length, std::string& out) {
  std::wstring wide;
  if (!StrictToWide(kNarrowCodePageNumber, text, length, wide)) return false;
  WideToBytes(CP_UTF8, wide.data(), wide.size(), out);
  return true;
}

void ConvertUtf16LeToNarrow(const unsigned char* bytes, std::size_t units, std::string& out) {
  std::wstring wide(units, L'\0');
  for (std::size_t i = 0; i < units; ++i) {
    wide[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  WideToBytes(kNarrowCodePageNumber, wide.data(), wide.size(), out);
}

}  // namespace platform
}  // namespace corvane
