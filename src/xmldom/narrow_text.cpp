#include "xmldom/narrow_text.h"

#include <climits>
#include <cstring>

#include "platform/codepage.h"

namespace corvane {
namespace xmldom {

std::string NarrowToEngine(const char* text) {
  std::string out;
  if (text != nullptr) platform::AppendNarrowAsUtf8(out, text, std::strlen(text));
  return out;
}

namespace {

// A CString holds at most INT_MAX bytes; longer texts are cut there.
int ClampedLength(std::size_t length) {
  return length > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

}  // namespace

CString EngineToNarrow(const char* utf8) {
  if (utf8 == nullptr || *utf8 == '\0') return CString();
  const std::size_t length = std::strlen(utf8);
  if (platform::IsAscii(utf8, length)) return CString(utf8, ClampedLength(length));
  std::string narrow;
  platform::AppendUtf8AsNarrow(narrow, utf8, length);
  return CString(narrow.data(), ClampedLength(narrow.size()));
}

}  // namespace xmldom
}  // namespace corvane
