// Windows: code pages through the system's converter with invalid characters
// refused; UTF-16 and UTF-32, which that converter does not take as input,
// are decoded here. A piece that ends inside a character leaves its last
// bytes (at most three) for the next.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "platform/codepage.h"
#include "platform/strict_converter.h"
#include "platform/win32_text.h"

namespace corvane {
namespace platform {
namespace {

struct Decoder {
  UINT codePage = 0;      // a code page the system converts, or 0
  unsigned unitSize = 0;  // 2 or 4 for UTF-16 and UTF-32
  bool bigEndian = false;
};

struct NamedCodePage {
  const char* name;
  UINT codePage;
};

// Names a document may declare, beside the CPnnn, WINDOWS-nnn and
// ISO-8859-n forms.
constexpr NamedCodePage kNamedCodePages[] = {
    {"GB18030", 54936},  {"BIG5", 950},          {"BIG-5", 950},    {"SHIFT_JIS", 932},
    {"SHIFT-JIS", 932},  {"SJIS", 932},          {"EUC-JP", 20932}, {"EUC-KR", 51949},
    {"US-ASCII", 20127}, {"ASCII", 20127},       {"KOI8-R", 20866}, {"KOI8-U", 21866},
    {"LATIN1", 28591},   {"ISO-2022-JP", 50220},
};

std::string Upper(const char* text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

UINT NumberAfter(const std::string& name, const char* prefix, UINT base = 0) {
  const std::size_t length = std::strlen(prefix);
  if (name.compare(0, length, prefix) != 0 || name.size() == length || name.size() > length + 5) {
    return 0;
  }
  for (std::size_t i = length; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
  }
  return base + static_cast<UINT>(std::strtoul(name.c_str() + length, nullptr, 10));
}

bool Find(const char* encoding, Decoder& decoder) {
  const std::string name = Upper(encoding);
  if (name == "UTF-16LE" || name == "UTF-16BE" || name == "UTF-32LE" || name == "UTF-32BE") {
    decoder.unitSize = name[4] == '1' ? 2 : 4;
    decoder.bigEndian = name[6] == 'B';
    return true;
  }
  UINT codePage = 0;
  for (const NamedCodePage& named : kNamedCodePages) {
    if (name == named.name) codePage = named.codePage;
  }
  if (codePage == 0) codePage = NumberAfter(name, "CP");
  if (codePage == 0) codePage = NumberAfter(name, "WINDOWS-");
  if (codePage == 0) codePage = NumberAfter(name, "ISO-8859-", 28590);
  if (codePage == 0 || codePage == CP_UTF7 || !::IsValidCodePage(codePage)) return false;
  decoder.codePage = codePage;
  return true;
}

std::uint32_t Unit(const unsigned char* at, const Decoder& decoder) {
  std::uint32_t value = 0;
  for (unsigned i = 0; i < decoder.unitSize; ++i) {
    const unsigned shift = decoder.bigEndian ? 8 * (decoder.unitSize - 1 - i) : 8 * i;
    value |= static_cast<std::uint32_t>(at[i]) << shift;
  }
  return value;
}

// Decodes whole characters to UTF-16; `used` tells how many bytes they took
// (the rest is a character the next piece completes). False on an invalid one.
bool DecodeUnicode(const Decoder& decoder, const unsigned char* bytes, std::size_t size,
                   std::wstring& wide, std::size_t& used) {
  const unsigned step = decoder.unitSize;
  used = 0;
  while (used + step <= size) {
    const std::uint32_t value = Unit(bytes + used, decoder);
    if (step == 4) {
      if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
      if (value >= 0x10000) {
        wide += static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10));
        wide += static_cast<wchar_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
      } else {
        wide += static_cast<wchar_t>(value);
      }
      used += step;
      continue;
    }
    if (value >= 0xDC00 && value <= 0xDFFF) return false;
    if (value >= 0xD800 && value <= 0xDBFF) {
      if (used + 2 * step > size) return true;  // its pair is in the next piece
      const std::uint32_t low = Unit(bytes + used + step, decoder);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      wide += static_cast<wchar_t>(value);
      wide += static_cast<wchar_t>(low);
      used += 2 * step;
      continue;
    }
    wide += static_cast<wchar_t>(value);
    used += step;
  }
  return true;
}

// The longest start of the bytes that is whole valid text, leaving at most
// three bytes (a character cut by the piece's end) when more may follow.
bool DecodeCodePage(const Decoder& decoder, const char* bytes, std::size_t size, bool last,
                    std::wstring& wide, std::size_t& used) {
  const std::size_t mostLeft = last ? 0 : std::min<std::size_t>(3, size);
  for (std::size_t left = 0; left <= mostLeft; ++left) {
    used = size - left;
    if (used == 0 || StrictToWide(decoder.codePage, bytes, used, wide)) return true;
  }
  return false;
}

// The text before the first invalid byte, for a piece that failed, so that
// the caller can tell where the bad bytes are (as iconv leaves it on POSIX).
// Some prefix within three bytes below n converts exactly when n is at most
// three past that point (no character is longer than four bytes), so a
// binary search over n finds it.
void DecodeValidStart(const Decoder& decoder, const char* bytes, std::size_t size,
                      std::wstring& wide) {
  const auto validBelow = [&](std::size_t n, std::wstring* text) {
    for (std::size_t k = 0; k <= 3 && k <= n; ++k) {
      std::wstring candidate;
      if (n - k == 0 || StrictToWide(decoder.codePage, bytes, n - k, candidate)) {
        if (text != nullptr) *text = std::move(candidate);
        return true;
      }
    }
    return false;
  };
  std::size_t good = 0, bad = size + 1;  // validBelow(good) holds, validBelow(bad) not
  while (bad - good > 1) {
    const std::size_t middle = good + (bad - good) / 2;
    (validBelow(middle, nullptr) ? good : bad) = middle;
  }
  validBelow(good, &wide);
}

}  // namespace

StrictConverter::~StrictConverter() { delete static_cast<Decoder*>(m_cd); }

bool StrictConverter::Open(const char* encoding) {
  if (m_cd != nullptr || encoding == nullptr) return false;
  Decoder decoder;
  if (!Find(encoding, decoder)) return false;
  m_cd = new Decoder(decoder);
  return true;
}

void StrictConverter::Reset() { m_carry.clear(); }

bool StrictConverter::ConvertJoined(const char* input, std::size_t size, bool last,
                                    std::string& out) {
  const Decoder& decoder = *static_cast<const Decoder*>(m_cd);
  std::wstring wide;
  std::size_t used = 0;
  const bool valid =
      decoder.unitSize != 0
          ? DecodeUnicode(decoder, reinterpret_cast<const unsigned char*>(input), size, wide, used)
          : DecodeCodePage(decoder, input, size, last, wide, used);
  if (!valid || (last && used != size)) {
    if (decoder.unitSize == 0) DecodeValidStart(decoder, input, size, wide);
    WideToBytes(CP_UTF8, wide.data(), wide.size(), out);
    return false;
  }
  m_carry.assign(input + used, size - used);
  WideToBytes(CP_UTF8, wide.data(), wide.size(), out);
  return true;
}

}  // namespace platform
}  // namespace corvane
