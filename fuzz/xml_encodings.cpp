#include "xml_encodings.h"

#include <iconv.h>
#include <strings.h>

#include <map>
#include <utility>

namespace corvane_fuzz {

const XmlEncoding kXmlEncodings[] = {
    {"", "", 0, "UTF-8"},
    {"", "\xEF\xBB\xBF", 3, "UTF-8"},
    {"UTF-32LE", "\xFF\xFE\0\0", 4, "UTF-32"},  // before UTF-16LE: its mark starts the same
    {"UTF-16LE", "\xFF\xFE", 2, "UTF-16"},
    {"UTF-16BE", "\xFE\xFF", 2, "UTF-16"},
    {"UTF-16LE", "", 0, "UTF-16"},
    {"UTF-16BE", "", 0, "UTF-16"},
    {"CP936", "", 0, "GBK"},
    {"CP936", "", 0, "GB2312"},
    {"GB18030", "", 0, "GB18030"},
    {"ISO-8859-1", "", 0, "ISO-8859-1"},
};
const std::size_t kXmlEncodingCount = sizeof kXmlEncodings / sizeof kXmlEncodings[0];

namespace {

constexpr std::size_t kUtf16Le = 5;
constexpr std::size_t kUtf16Be = 6;

// Converters are opened once a direction (opening costs more than a small
// conversion) and kept to the end: the map is never destroyed.
iconv_t Converter(const char* to, const char* from) {
  static auto* const opened = new std::map<std::pair<std::string, std::string>, iconv_t>;
  const auto found = opened->emplace(std::make_pair(to, from), iconv_t());
  if (found.second) found.first->second = iconv_open(to, from);
  return found.first->second;
}

bool Convert(const char* to, const char* from, const std::string& in, std::string& out) {
  const iconv_t converter = Converter(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  out.assign(in.size() * 4 + 16, '\0');  // room for the widest growth, UTF-8 to UTF-32
  char* source = const_cast<char*>(in.data());
  std::size_t sourceLeft = in.size();
  char* target = &out[0];
  std::size_t targetLeft = out.size();
  const std::size_t result = iconv(converter, &source, &sourceLeft, &target, &targetLeft);
  out.resize(out.size() - targetLeft);
  return result != static_cast<std::size_t>(-1) && sourceLeft == 0;
}

// The encoding a declaration at the start names, "" for none.
std::string Declared(const std::string& bytes) {
  if (bytes.compare(0, 5, "<?xml") != 0) return "";
  const std::size_t end = bytes.find("?>");
  const std::size_t at = bytes.find("encoding", 5);
  if (end == std::string::npos || at == std::string::npos || at > end) return "";
  const std::size_t open = bytes.find_first_of("\"'", at);
  const std::size_t close = open < end ? bytes.find(bytes[open], open + 1) : std::string::npos;
  return close < end ? bytes.substr(open + 1, close - open - 1) : "";
}

std::size_t FindEncoding(const std::string& bytes) {
  for (std::size_t i = 1; i < kXmlEncodingCount; ++i) {
    const XmlEncoding& encoding = kXmlEncodings[i];
    if (encoding.markSize > 0 &&
        bytes.compare(0, encoding.markSize, encoding.mark, encoding.markSize) == 0) {
      return i;
    }
  }
  if (bytes.compare(0, 4, std::string("<\0?\0", 4)) == 0) return kUtf16Le;
  if (bytes.compare(0, 4, std::string("\0<\0?", 4)) == 0) return kUtf16Be;
  const std::string declared = Declared(bytes.substr(0, 1024));
  for (const char* family : {"GBK", "CP936", "MS936", "WINDOWS-936", "X-GBK", "EUC-CN"}) {
    if (strcasecmp(declared.c_str(), family) == 0) return 7;
  }
  for (std::size_t i = 8; i < kXmlEncodingCount; ++i) {
    if (strcasecmp(declared.c_str(), kXmlEncodings[i].declared) == 0) return i;
  }
  return 0;
}

}  // namespace

bool DecodeXml(const std::string& bytes, std::size_t& encoding, std::string& utf8) {
  encoding = FindEncoding(bytes);
  const XmlEncoding& found = kXmlEncodings[encoding];
  const std::string text = bytes.substr(found.markSize);
  if (*found.converter == '\0') {
    utf8 = text;
    return true;
  }
  return Convert("UTF-8", found.converter, text, utf8);
}

bool EncodeXml(const std::string& utf8, std::size_t encoding, std::string& bytes) {
  const XmlEncoding& chosen = kXmlEncodings[encoding];
  std::string text;
  if (*chosen.converter == '\0') {
    text = utf8;
  } else if (!Convert(chosen.converter, "UTF-8", utf8, text)) {
    return false;
  }
  bytes.assign(chosen.mark, chosen.markSize);
  bytes += text;
  return true;
}

}  // namespace corvane_fuzz
