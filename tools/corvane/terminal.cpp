#include "corvane/terminal.h"

#include <corvane/stream/xmlop.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>

namespace corvane {
namespace tool {
namespace {

bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
  // A console, not any character device (NUL is one too).
  DWORD mode = 0;
  return ::GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

// UTF-8 to code points, one wchar_t each; a malformed byte becomes U+FFFD.
std::wstring WideFromUtf8(const std::string& utf8) {
  std::wstring wide;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int more = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    unsigned long c = more == 0 ? lead : lead & (0x3F >> more);
    bool ok = more >= 0 && i + 1 + static_cast<std::size_t>(more) <= utf8.size();
    for (int k = 1; ok && k <= more; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      ok = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    wide += ok ? static_cast<wchar_t>(c) : L'\xFFFD';
    i += ok ? 1 + static_cast<std::size_t>(more) : 1;
  }
  return wide;
}

std::string Utf8FromWide(const std::wstring& wide) {
  std::string utf8;
  for (const wchar_t w : wide) {
    const unsigned long c = static_cast<unsigned long>(w);
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (c >> 18));
      utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

}  // namespace

CString NarrowText(const std::string& utf8) { return XmlOp::wstring2CString(WideFromUtf8(utf8)); }

CString NarrowPath(const std::string& utf8) {
  const std::wstring wide = WideFromUtf8(utf8);
  const CString narrow = XmlOp::wstring2CString(wide);
  // A character code page 936 cannot hold would name another file.
  return XmlOp::CString2wstring(narrow) == wide ? narrow : CString();
}

bool NarrowExactly(const char* utf8, std::size_t length, CString& narrow) {
  if (length > static_cast<std::size_t>(INT_MAX)) return false;
  // ASCII is the same bytes in both; most texts take this way.
  if (std::all_of(utf8, utf8 + length, [](char c) { return (c & 0x80) == 0; })) {
    narrow = CString(utf8, static_cast<int>(length));
    return true;
  }
  const std::wstring wide = WideFromUtf8(std::string(utf8, length));
  const CString converted = XmlOp::wstring2CString(wide);
  // Whatever did not survive the way there and back was replaced on the way.
  if (XmlOp::CString2wstring(converted) != wide) return false;
  narrow = converted;
  return true;
}

std::string Utf8(const CString& text) { return Utf8FromWide(XmlOp::CString2wstring(text)); }

std::string Utf8(const std::string& text) { return Utf8(XmlOp::string2CString(text)); }

namespace {

struct BarState {
  std::string message;
  int last = -1;
};

void Draw(const BarState& state, int percent) {
  const int width = 30;
  const int shown = std::min(std::max(percent, 0), 100);
  const int filled = shown * width / 100;
  std::fprintf(stderr, "\r%s [%s%s] %3d%%", state.message.c_str(), std::string(filled, '#').c_str(),
               std::string(width - filled, ' ').c_str(), shown);
  std::fflush(stderr);
}

}  // namespace

ProgressBar MakeProgressBar(bool force) {
  ProgressBar bar;
  if (!force && !IsTerminal(stderr)) return bar;
  auto state = std::make_shared<BarState>();
  bar.start = [state](CString const& message, int, int) {
    state->message = Utf8(message);
    state->last = -1;
    Draw(*state, 0);
    return true;
  };
  bar.position = [state](int percent) {
    if (percent == state->last) return;
    state->last = percent;
    Draw(*state, percent);
  };
  bar.end = [state]() {
    Draw(*state, 100);
    std::fputc('\n', stderr);
  };
  return bar;
}

}  // namespace tool
}  // namespace corvane
