#include "xmldom/xml_name.h"

#include <algorithm>
#include <cstdint>

#include "platform/codepage.h"

namespace corvane {
namespace xmldom {
namespace {

struct Range {
  std::uint32_t first, last;
};

// NameStartChar without ':', above ASCII.
constexpr Range kStartRanges[] = {
    {0xC0, 0xD6},     {0xD8, 0xF6},     {0xF8, 0x2FF},    {0x370, 0x37D},
    {0x37F, 0x1FFF},  {0x200C, 0x200D}, {0x2070, 0x218F}, {0x2C00, 0x2FEF},
    {0x3001, 0xD7FF}, {0xF900, 0xFDCF}, {0xFDF0, 0xFFFD}, {0x10000, 0xEFFFF},
};
// What NameChar adds to NameStartChar, above ASCII.
constexpr Range kMoreRanges[] = {{0xB7, 0xB7}, {0x300, 0x36F}, {0x203F, 0x2040}};

template <std::size_t N>
bool InRanges(const Range (&ranges)[N], std::uint32_t c) {
  return std::any_of(std::begin(ranges), std::end(ranges),
                     [c](const Range& r) { return c >= r.first && c <= r.last; });
}

bool IsNameStart(std::uint32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
  return InRanges(kStartRanges, c);
}

bool IsNameChar(std::uint32_t c) {
  if (c < 0x80) return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
  return InRanges(kStartRanges, c) || InRanges(kMoreRanges, c);
}

// The next code point of well-formed or malformed UTF-8; malformed input
// gives 0xFFFFFFFF, which is no name character.
std::uint32_t NextCodePoint(std::string_view text, std::size_t& at) {
  const unsigned char lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (more < 0 || lead > 0xF4 || at + static_cast<std::size_t>(more) > text.size()) {
    return 0xFFFFFFFF;
  }
  std::uint32_t c = lead & (0x3F >> more);
  for (int i = 0; i < more; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[at++]);
    if ((next & 0xC0) != 0x80) return 0xFFFFFFFF;
    c = (c << 6) | (next & 0x3F);
  }
  return c;
}

}  // namespace

bool IsNcName(std::string_view utf8) {
  if (utf8.empty()) return false;
  std::size_t at = 0;
  if (!IsNameStart(NextCodePoint(utf8, at))) return false;
  while (at < utf8.size()) {
    if (!IsNameChar(NextCodePoint(utf8, at))) return false;
  }
  return true;
}

bool NarrowNameToUtf8(const char* narrow, std::size_t length, std::string& utf8) {
  utf8.clear();
  return platform::AppendNarrowAsUtf8Strict(utf8, narrow, length) && IsNcName(utf8);
}

bool IsAttributeText(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
  });
}

}  // namespace xmldom
}  // namespace corvane
