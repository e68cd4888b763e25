#include "xmldom/xml_text_output.h"

#include <cstdint>
#include <cstring>

namespace corvane {
namespace xmldom {
namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\"?>";

bool NeedsAttributeEscape(unsigned char c) { return c < 0x20 || c == '&' || c == '<' || c == '"'; }
bool NeedsTextEscape(unsigned char c) { return c == '\r' || c == '&' || c == '<' || c == '>'; }

// Whether any of the eight bytes at `text` needs an escape in an attribute
// value. The word tests are exact for "some byte is zero" and "some byte is
// below 0x20".
bool NeedsAttributeEscapeIn8(const char* text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  std::uint64_t word;
  std::memcpy(&word, text, sizeof word);
  const auto hasZero = [](std::uint64_t x) { return ((x - kOnes) & ~x & kHighs) != 0; };
  const bool hasControl = ((word - kOnes * 0x20) & ~word & kHighs) != 0;
  return hasControl || hasZero(word ^ (kOnes * '&')) || hasZero(word ^ (kOnes * '<')) ||
         hasZero(word ^ (kOnes * '"'));
}

constexpr std::size_t kLongestEscape = 6;

// The escape of one character; the white-space controls as two-digit
// references ("&#09;"). Other control characters never reach here (names
// and values are checked first); they are dropped rather than written as
// references XML 1.0 forbids.
char* AppendEscape(char* out, unsigned char c) {
  switch (c) {
    case '&':
      std::memcpy(out, "&amp;", 5);
      return out + 5;
    case '<':
      std::memcpy(out, "&lt;", 4);
      return out + 4;
    case '>':
      std::memcpy(out, "&gt;", 4);
      return out + 4;
    case '"':
      std::memcpy(out, "&quot;", 6);
      return out + 6;
    case '\t':
    case '\n':
    case '\r':
      out[0] = '&';
      out[1] = '#';
      out[2] = static_cast<char>('0' + c / 10);
      out[3] = static_cast<char>('0' + c % 10);
      out[4] = ';';
      return out + 5;
    default:
      return out;
  }
}

}  // namespace

XmlTextOutput::Element XmlTextOutput::Root(std::string_view name) {
  Put(kDeclaration, sizeof kDeclaration - 1);
  StartElement(name);
  return Element{true};
}

XmlTextOutput::Element XmlTextOutput::Append(Element, std::string_view name) {
  EndStartTag();
  StartElement(name);
  return Element{true};
}

void XmlTextOutput::StartElement(std::string_view name) {
  Put("<", 1);
  Put(name.data(), name.size());
  m_starts.push_back(m_openNames.size());
  m_openNames += name;
  m_startTagOpen = true;
}

// The parent's start tag ends once it is known to have content.
void XmlTextOutput::EndStartTag() {
  if (!m_startTagOpen) return;
  Put(">", 1);
  m_startTagOpen = false;
}

void XmlTextOutput::Attribute(Element, std::string_view name, const char* utf8, std::size_t size) {
  // Room for the worst case (every byte a six-byte escape) lets the escapes
  // go straight into the buffer; a longer text takes the slow path.
  const std::size_t longest = size > kCapacity ? kCapacity + 1 : name.size() + 4 + size * 6;
  if (longest > kCapacity) {
    Put(" ", 1);
    Put(name.data(), name.size());
    Put("=\"", 2);
    PutEscaped(utf8, size, true);
    Put("\"", 1);
    return;
  }
  if (longest > kCapacity - m_used) Flush();
  char* out = m_buffer + m_used;
  *out++ = ' ';
  std::memcpy(out, name.data(), name.size());
  out += name.size();
  *out++ = '=';
  *out++ = '"';
  const char* at = utf8;
  const char* const end = utf8 + size;
  while (at != end) {
    // Eight bytes at a time while none needs an escape: most texts have none.
    if (end - at >= 8 && !NeedsAttributeEscapeIn8(at)) {
      std::memcpy(out, at, 8);
      out += 8;
      at += 8;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(*at++);
    if (NeedsAttributeEscape(c)) {
      out = AppendEscape(out, c);
    } else {
      *out++ = static_cast<char>(c);
    }
  }
  *out++ = '"';
  m_used = static_cast<std::size_t>(out - m_buffer);
}

void XmlTextOutput::Text(const char* utf8, std::size_t size) {
  EndStartTag();
  PutEscaped(utf8, size, false);
}

void XmlTextOutput::CData(const char* utf8, std::size_t size) {
  EndStartTag();
  Put("<![CDATA[", 9);
  Put(utf8, size);
  Put("]]>", 3);
}

void XmlTextOutput::Close(Element) {
  if (m_starts.empty()) return;
  const std::size_t start = m_starts.back();
  if (m_startTagOpen) {
    Put("/>", 2);
  } else {
    Put("</", 2);
    Put(m_openNames.data() + start, m_openNames.size() - start);
    Put(">", 1);
  }
  m_openNames.resize(start);
  m_starts.pop_back();
  m_startTagOpen = false;
}

void XmlTextOutput::Flush() {
  if (m_used > 0 && m_sink != nullptr) m_sink->Write(m_buffer, m_used);
  m_used = 0;
}

void XmlTextOutput::Put(const char* text, std::size_t size) {
  if (size > kCapacity - m_used) {
    Flush();
    if (size >= kCapacity) {
      if (m_sink != nullptr) m_sink->Write(text, size);
      return;
    }
  }
  std::memcpy(m_buffer + m_used, text, size);
  m_used += size;
}

void XmlTextOutput::PutEscaped(const char* text, std::size_t size, bool inAttribute) {
  const char* run = text;
  const char* const end = text + size;
  for (const char* at = text; at != end; ++at) {
    const unsigned char c = static_cast<unsigned char>(*at);
    if (!(inAttribute ? NeedsAttributeEscape(c) : NeedsTextEscape(c))) continue;
    Put(run, static_cast<std::size_t>(at - run));
    run = at + 1;
    char escape[kLongestEscape];
    Put(escape, static_cast<std::size_t>(AppendEscape(escape, c) - escape));
  }
  Put(run, static_cast<std::size_t>(end - run));
}

}  // namespace xmldom
}  // namespace corvane
