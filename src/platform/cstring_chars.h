// Reading CString text as code page 936 characters. A lead byte 0x81-0xFE
// and the byte after it are one character unless that byte is a NUL (the
// terminator, or one held inside the text). Character boundaries are known
// only by walking from the start of the text, so every walk begins there.
#pragma once

#include <cstring>

namespace corvane {
namespace platform {

inline bool IsLeadByte(char c) noexcept {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte >= 0x81 && byte <= 0xFE;
}

// Size (1 or 2) of the character at `p`; a NUL always follows the text, so
// p[1] exists wherever p is inside it.
inline int CharSize(const char* p) noexcept { return IsLeadByte(p[0]) && p[1] != '\0' ? 2 : 1; }

// The first character boundary at or after `index` (0 <= index <= length).
inline int BoundaryAtOrAfter(const char* text, int index) noexcept {
  int at = 0;
  while (at < index) at += CharSize(text + at);
  return at;
}

// The last character boundary at or before `index` (0 <= index <= length).
inline int BoundaryAtOrBefore(const char* text, int index) noexcept {
  int at = 0;
  for (int next = CharSize(text); next <= index; next = at + CharSize(text + at)) at = next;
  return at;
}

// A set of characters given as NUL-terminated text; membership is by whole
// character, so a double-byte member never matches one of its bytes.
class CharSet {
 public:
  explicit CharSet(const char* set) noexcept : m_set(set != nullptr ? set : "") {
    for (const char* p = m_set; *p != '\0'; p += CharSize(p)) {
      if (CharSize(p) == 2) {
        m_hasDoubleByte = true;
      } else {
        const unsigned char byte = static_cast<unsigned char>(*p);
        m_single[byte / 64] |= 1ull << (byte % 64);
      }
    }
  }
  bool IsEmpty() const noexcept { return *m_set == '\0'; }
  bool Contains(const char* ch, int size) const noexcept {
    if (size == 1) {
      const unsigned char byte = static_cast<unsigned char>(*ch);
      return (m_single[byte / 64] >> (byte % 64)) & 1;
    }
    if (!m_hasDoubleByte) return false;
    for (const char* p = m_set; *p != '\0'; p += CharSize(p)) {
      if (CharSize(p) == 2 && p[0] == ch[0] && p[1] == ch[1]) return true;
    }
    return false;
  }

 private:
  const char* m_set;
  unsigned long long m_single[4] = {0, 0, 0, 0};
  bool m_hasDoubleByte = false;
};

// Text to look for at character boundaries. A match must also end on one:
// text that ends in a lone lead byte does not match the first half of a
// double-byte character.
class Needle {
 public:
  explicit Needle(const char* text) noexcept
      : m_text(text != nullptr ? text : ""), m_length(static_cast<int>(std::strlen(m_text))) {
    int last = 0;
    for (int at = 0; at < m_length; at += CharSize(m_text + at)) last = at;
    m_endsInLeadByte = m_length > 0 && IsLeadByte(m_text[last]) && last == m_length - 1;
  }
  int Length() const noexcept { return m_length; }
  // `at` is a boundary of `text`, which holds `length` bytes.
  bool MatchesAt(const char* text, int length, int at) const noexcept {
    return m_length <= length - at && text[at] == m_text[0] &&
           std::memcmp(text + at, m_text, static_cast<std::size_t>(m_length)) == 0 &&
           (!m_endsInLeadByte || text[at + m_length] == '\0');
  }

 private:
  const char* m_text;
  int m_length;
  bool m_endsInLeadByte;
};

}  // namespace platform
}  // namespace corvane
