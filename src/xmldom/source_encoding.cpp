#include "xmldom/source_encoding.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <strings.h>

#include "platform/codepage.h"

namespace DomXml {
namespace {

// The longest encoding name accepted; real names are far shorter.
constexpr std::size_t kMaxEncodingName = 40;

bool StartsWith(const std::string& bytes, const char* prefix, std::size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The EncName rule of XML 1.0, with a length bound.
bool IsEncodingName(const std::string& name) {
  if (name.empty() || name.size() > kMaxEncodingName || !IsAsciiLetter(name[0])) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
  });
}

bool NameIs(const std::string& name, const char* candidate) {
  return strcasecmp(name.c_str(), candidate) == 0;
}

// Files declared as a Chinese national code page are read with the narrow
// code page itself: it is a superset of GB2312 and GBK as they are written in
// practice, and keeps the narrow text of such files byte for byte.
bool IsNarrowCodePageFamily(const std::string& name) {
  static const char* const kNames[] = {"GB2312", "GBK", "CP936", "MS936", "WINDOWS-936",
                                       "X-GBK", "EUC-CN", "CSGB2312"};
  return std::any_of(std::begin(kNames), std::end(kNames),
                     [&](const char* candidate) { return NameIs(name, candidate); });
}

// A declaration naming UTF-16 in a file without the two-byte form cannot be
// true; its bytes are read as UTF-8, as are files that name UTF-8.
bool IsReadAsUtf8(const std::string& name) {
  static const char* const kNames[] = {"UTF-8", "UTF8", "UTF-16", "UTF-16LE", "UTF-16BE",
                                       "UCS-2", "ISO-10646-UCS-2"};
  return std::any_of(std::begin(kNames), std::end(kNames),
                     [&](const char* candidate) { return NameIs(name, candidate); });
}

bool Convert(std::string& bytes, const char* encoding, std::size_t skip) {
  std::string text;
  if (!corvane::codepage::DocumentToUtf8(encoding, bytes.data() + skip, bytes.size() - skip, text)) {
    return false;
  }
  bytes.swap(text);
  return true;
}

}  // namespace

std::string DeclaredEncoding(const std::string& bytes) {
  if (!StartsWith(bytes, "<?xml", 5) || bytes.size() < 6 || !IsXmlSpace(bytes[5])) return {};
  const std::string_view head(bytes.data(), std::min(bytes.size(), kDeclarationScanLimit));
  const std::size_t end = head.find("?>", 5);
  if (end == std::string_view::npos) return {};
  const std::string declaration = bytes.substr(5, end - 5);
  std::size_t at = 0;
  while ((at = declaration.find("encoding", at)) != std::string::npos) {
    const bool separated = at > 0 && IsXmlSpace(declaration[at - 1]);
    at += 8;
    if (!separated) continue;
    while (at < declaration.size() && IsXmlSpace(declaration[at])) ++at;
    if (at >= declaration.size() || declaration[at] != '=') continue;
    ++at;
    while (at < declaration.size() && IsXmlSpace(declaration[at])) ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return {};
    const std::size_t close = declaration.find(declaration[at], at + 1);
    if (close == std::string::npos) return {};
    // An empty name is kept as a name of its own, so it fails as unknown.
    const std::string name = declaration.substr(at + 1, close - at - 1);
    return name.empty() ? std::string(" ") : name;
  }
  return {};
}

bool DecodeToUtf8(std::string& bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF", 3)) {
    bytes.erase(0, 3);
    return true;
  }
  if (StartsWith(bytes, "\xFF\xFE\0\0", 4)) return Convert(bytes, "UTF-32LE", 4);
  if (StartsWith(bytes, "\0\0\xFE\xFF", 4)) return Convert(bytes, "UTF-32BE", 4);
  if (StartsWith(bytes, "\xFF\xFE", 2)) return Convert(bytes, "UTF-16LE", 2);
  if (StartsWith(bytes, "\xFE\xFF", 2)) return Convert(bytes, "UTF-16BE", 2);
  if (StartsWith(bytes, "<\0?\0", 4)) return Convert(bytes, "UTF-16LE", 0);
  if (StartsWith(bytes, "\0<\0?", 4)) return Convert(bytes, "UTF-16BE", 0);

  const std::string declared = DeclaredEncoding(bytes);
  if (declared.empty() || IsReadAsUtf8(declared)) return true;
  if (!IsEncodingName(declared)) return false;
  if (IsNarrowCodePageFamily(declared)) return Convert(bytes, corvane::codepage::kNarrowCodePage, 0);
  return Convert(bytes, declared.c_str(), 0);
}

}  // namespace DomXml

