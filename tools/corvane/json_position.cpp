#include "corvane/json_position.h"

namespace corvane {
namespace tool {
namespace {

// Follows the text byte by byte: the position of the next byte, and the
// position of the last string opened (JSON quotes outside strings open them).
class PositionTracker {
 public:
  void Step(unsigned char byte) {
    if (m_inString) {
      if (m_escaped) {
        m_escaped = false;
      } else if (byte == '\\') {
        m_escaped = true;
      } else if (byte == '"') {
        m_inString = false;
      }
    } else if (byte == '"') {
      m_inString = true;
      m_stringStart = m_next;
    }
    if (byte == '\n') {
      ++m_next.line;
      m_next.column = 1;
    } else if ((byte & 0xC0) != 0x80) {  // not a continuation byte: a character starts
      ++m_next.column;
    }
  }
  const TextPosition& next() const { return m_next; }
  const TextPosition& stringStart() const { return m_stringStart; }

 private:
  TextPosition m_next;
  TextPosition m_stringStart;
  bool m_inString = false;
  bool m_escaped = false;
};

}  // namespace

TextPosition LocateTrouble(std::FILE* in, const JsonTrouble& trouble) {
  PositionTracker tracker;
  std::rewind(in);
  std::size_t remaining = trouble.offset;
  char buffer[1 << 16];
  while (remaining > 0) {
    const std::size_t got =
        std::fread(buffer, 1, remaining < sizeof buffer ? remaining : sizeof buffer, in);
    if (got == 0) break;
    for (std::size_t i = 0; i < got; ++i) tracker.Step(static_cast<unsigned char>(buffer[i]));
    remaining -= got;
  }
  return trouble.inStringBefore ? tracker.stringStart() : tracker.next();
}

}  // namespace tool
}  // namespace corvane
