#include "xmldom/source_encoding.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/codepage.h"

namespace corvane {
namespace xmldom {
namespace {

// The longest encoding name accepted; real names are far shorter.
constexpr std::size_t kMaxEncodingName = 40;

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The EncName rule of XML 1.0, with a length bound: no converter ever sees a
// path, an option suffix or a blank.
bool IsEncodingName(const std::string& name) {
  if (name.empty() || name.size() > kMaxEncodingName || !IsAsciiLetter(name[0])) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
  });
}

bool NameIsOneOf(const std::string& name, std::initializer_list<const char*> candidates) {
  return std::any_of(candidates.begin(), candidates.end(), [&](const char* candidate) {
    return strcasecmp(name.c_str(), candidate) == 0;
  });
}

bool IsUtf8Name(const std::string& name) { return NameIsOneOf(name, {"UTF-8", "UTF8"}); }

bool IsUtf16Name(const std::string& name) {
  return NameIsOneOf(name, {"UTF-16", "UTF-16LE", "UTF-16BE", "UCS-2", "ISO-10646-UCS-2"});
}

bool IsNarrowCodePageFamily(const std::string& name) {
  return NameIsOneOf(
      name, {"GB2312", "GBK", "CP936", "MS936", "WINDOWS-936", "X-GBK", "EUC-CN", "CSGB2312"});
}

SourceEncoding Converted(std::size_t byteOrderMark, const char* converter) {
  SourceEncoding encoding;
  encoding.byteOrderMark = byteOrderMark;
  encoding.converter = converter;
  return encoding;
}

SourceEncoding Refused(std::string why) {
  SourceEncoding encoding;
  encoding.refusal = std::move(why);
  return encoding;
}

}  // namespace

std::string DeclaredEncoding(const char* head, std::size_t size) {
  const std::string_view bytes(head, std::min(size, kDeclarationScanLimit));
  if (!StartsWith(bytes, "<?xml") || bytes.size() < 6 || !IsXmlSpace(bytes[5])) return {};
  const std::size_t end = bytes.find("?>", 5);
  if (end == std::string_view::npos) return {};
  const std::string_view declaration = bytes.substr(5, end - 5);
  std::size_t at = 0;
  while ((at = declaration.find("encoding", at)) != std::string_view::npos) {
    const bool separated = at > 0 && IsXmlSpace(declaration[at - 1]);
    at += 8;
    if (!separated) continue;
    while (at < declaration.size() && IsXmlSpace(declaration[at])) ++at;
    if (at >= declaration.size() || declaration[at] != '=') continue;
    ++at;
    while (at < declaration.size() && IsXmlSpace(declaration[at])) ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return {};
    const std::size_t close = declaration.find(declaration[at], at + 1);
    if (close == std::string_view::npos) return {};
    // An empty name is kept as a name of its own, so it is refused as unknown.
    const std::string name(declaration.substr(at + 1, close - at - 1));
    return name.empty() ? std::string(" ") : name;
  }
  return {};
}

SourceEncoding DetectEncoding(const char* head, std::size_t size) {
  const std::string_view bytes(head, size);
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    const std::string declared = DeclaredEncoding(head + 3, size - 3);
    if (!declared.empty() && !IsUtf8Name(declared)) {
      return Refused("the encoding declaration contradicts the UTF-8 byte order mark");
    }
    SourceEncoding encoding;
    encoding.byteOrderMark = 3;
    return encoding;
  }
  using namespace std::string_view_literals;
  if (StartsWith(bytes, "\xFF\xFE\0\0"sv)) return Converted(4, "UTF-32LE");
  if (StartsWith(bytes, "\0\0\xFE\xFF"sv)) return Converted(4, "UTF-32BE");
  if (StartsWith(bytes, "\xFF\xFE"sv)) return Converted(2, "UTF-16LE");
  if (StartsWith(bytes, "\xFE\xFF"sv)) return Converted(2, "UTF-16BE");
  if (StartsWith(bytes, "<\0?\0"sv)) return Converted(0, "UTF-16LE");
  if (StartsWith(bytes, "\0<\0?"sv)) return Converted(0, "UTF-16BE");

  const std::string declared = DeclaredEncoding(head, size);
  if (declared.empty() || IsUtf8Name(declared)) return SourceEncoding();
  if (IsUtf16Name(declared)) return Refused("declares UTF-16 but is not written in it");
  if (!IsEncodingName(declared)) return Refused("declares an encoding that is not known");
  if (IsNarrowCodePageFamily(declared)) return Converted(0, platform::kNarrowCodePage);
  return Converted(0, declared.c_str());
}

}  // namespace xmldom
}  // namespace corvane
