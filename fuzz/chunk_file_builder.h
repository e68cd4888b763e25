// The chunk file a built input of the XML targets stands for (fuzz_support.h):
// an encoding and a prolog, then, step by step, chunks with a label, Name,
// Type and a Value good or bad for the type, nested up to the depth limit,
// with comments, CDATA, processing instructions and references between
// them; where the program may break it, now and then something that refuses
// the file. Text the encoding cannot hold leaves the file in UTF-8.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace corvane_fuzz {

struct TypeTag {
  const char* tag;
  char kind;  // 'n' numbers, 'b' bool, 's' text
  int count;  // components
};

// clang-format off
// {declared name, iconv's name ("" for UTF-8), byte order mark}. GB2312 is
// read as code page 936, so it is written as that.
constexpr const char* kXmlEncodings[][3] = {
    {"UTF-8", "", ""}, {"UTF-8", "", "\xEF\xBB\xBF"}, {"UTF-16", "UTF-16LE", "\xFF\xFE"},
    {"UTF-16", "UTF-16BE", "\xFE\xFF"}, {"UTF-16", "UTF-16LE", ""}, {"GBK", "CP936", ""},
    {"gb2312", "CP936", ""}, {"GB18030", "GB18030", ""}, {"ISO-8859-1", "ISO-8859-1", ""}};
// The sections FileConvert looks for, other labels, a CJK and a prefixed one.
constexpr const char* kLabels[] = {
    "FILE_CONVERT", "SysVar", "Layers", "Environment", "Materials", "Meshs", "Groups", "Entitys",
    "Var", "Layer", "Mesh", "a", "p:Var", "\xE5\x9B\xBE\xE5\xB1\x82"};
// The fourteen tags, some in another case, and tags the reader leaves out.
constexpr TypeTag kTypes[] = {
    {"int", 'n', 1}, {"uint", 'n', 1}, {"float", 'n', 1}, {"long64", 'n', 1}, {"ulong64", 'n', 1},
    {"double", 'n', 1}, {"bool", 'b', 1}, {"float2", 'n', 2}, {"float3", 'n', 3},
    {"float4", 'n', 4}, {"double2", 'n', 2}, {"double3", 'n', 3}, {"double4", 'n', 4},
    {"string", 's', 1}, {"INT", 'n', 1}, {"Double3", 'n', 3}, {"float5", 'n', 5}, {"", 's', 1}};
// Numbers in and out of every type's range, and some that are no numbers.
constexpr const char* kNumbers[] = {
    "0", "1", "-1", "2147483647", "-2147483648", "2147483648", "4294967295", "4294967296",
    "9223372036854775807", "-9223372036854775808", "18446744073709551615", "18446744073709551616",
    "+7", " 1", "0x1F", "", "1.5", "-0.000001", "3.402823e38", "3.5e38", "1e-45", "1e309", "nan",
    "-inf", ".5", "1e", "x"};
constexpr const char* kBools[] = {"true", "false", "TRUE", "1", "0", "yes", ""};
// The full-width comma (U+FF0C) becomes A3 AC in code page 936.
constexpr const char* kSeparators[] = {",", ",", "|", "\xEF\xBC\x8C", ", ", ",,"};
constexpr const char* kNames[] = {"", "Scale", "\xE5\xA2\x99\xE4\xBD\x93", "a&b<c>\"'", "x\ty"};
// No "--", "]]>" or "?>": texts go into comments, CDATA and PIs too. Code
// page 936 holds neither the emoji nor the Ethiopic letter.
constexpr const char* kTexts[] = {
    "", "load bearing", "a&b<c>\"'", "\t\n\r", "\xE6\xAD\xA3\xE5\x9C\xA8", "\xC3\xA9",
    "\xF0\x9F\x98\x80", "\xE1\x88\x80", "%s%n"};
// Between chunks; '@' stands for a text.
constexpr const char* kMarkup[] = {
    "<!--@-->", "<![CDATA[@]]>", "<?pi @?>", "@&#10;", "@&amp;", "@&#x4E2D;", "@&lt;&apos;"};
constexpr const char* kExtras[] = {" xmlns=\"urn:d\"", " p:Name=\"x\"", " xml:lang=\"zh\""};
// Each refuses the file: not a name, repeated attributes, an unbound or
// undeclared prefix, a character XML does not allow, "]]>" in text, an
// unknown entity, mismatched tags, a byte invalid in UTF-8.
constexpr const char* kRefusals[] = {
    "<1x/>", "<a Name=\"x\" Name=\"y\"/>", "<a p:x=\"1\" p:x=\"2\"/>", "<q:a/>",
    "<a xmlns:p=\"\"/>", "&#1;", "]]>", "&e;", "<a></b>", "\xFF"};
// clang-format on

inline std::string Escape(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '"' ? "&quot;" : std::string(1, c);
  }
  return escaped;
}

inline std::string Text(Program& p) {
  const std::uint8_t how = p.Next();
  return how >= 0xF0 ? std::string((how & 0x0F) * 300u, 'y') : p.Pick(kTexts);
}

// One from the table, or an integer or any double from the program's bytes.
inline std::string Number(Program& p) {
  const std::uint8_t how = p.Next();
  if (how < 0xE0) return p.Pick(kNumbers);
  if (how & 1) return std::to_string(p.Bytes<std::int32_t>());
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", p.Bytes<double>());
  return text;
}

inline std::string Value(Program& p, const TypeTag& type) {
  const std::uint8_t how = p.Next();
  if (type.kind == 's' || how == 0xFF) return Text(p);
  if (type.kind == 'b') return p.Pick(kBools);
  const std::string separator = p.Pick(kSeparators);
  // Now and then one component too many or too few.
  std::string value = type.count > 1 || how != 0xFD ? Number(p) : "";
  for (int i = 1; i < type.count + (how == 0xFE) - (how == 0xFD); ++i) {
    value += separator + Number(p);
  }
  return value;
}

// A chunk: a leaf, or a container left open until a close step.
inline void Element(Program& p, std::string& body, std::vector<std::string>& open, bool leaf) {
  const std::string label = p.Pick(kLabels);
  const std::uint8_t has = p.Next();
  body += "<" + label;
  if (has & 0x01) body += " Name=\"" + Escape(p.Pick(kNames)) + "\"";
  if (has & 0x06) {
    const TypeTag& type = p.Pick(kTypes);
    body += std::string(" Type=\"") + type.tag + "\"";
    if (has & 0x04) body += " Value=\"" + Escape(Value(p, type)) + "\"";
  }
  if ((has & 0x18) == 0x18) body += p.Pick(kExtras);
  body += leaf ? "/>" : ">";
  if (!leaf) open.push_back(label);
}

// `text` from UTF-8 to `to`; false, `text` unchanged, when `to` cannot hold it.
inline bool Convert(const char* to, std::string& text) {
  const iconv_t converter = iconv_open(to, "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::string out(text.size() * 4, '\0');
  char* in = &text[0];
  char* at = &out[0];
  std::size_t inLeft = text.size();
  std::size_t outLeft = out.size();
  const bool whole = iconv(converter, &in, &inLeft, &at, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  if (whole) text.swap(out);
  return whole;
}

inline std::string BuildChunkFile(Program& p) {
  const auto& encoding = p.Pick(kXmlEncodings);
  const std::uint8_t flags = p.Next();
  std::vector<std::string> open{flags & 0x10 ? p.Pick(kLabels) : "FILE_CONVERT"};
  std::string body = "<" + open[0] + " xmlns:p=\"urn:p\">";
  while (!p.Done() && body.size() < 65536) {
    const std::uint8_t step = p.Next();
    if (step < 40) {
      Element(p, body, open, open.size() > 200);  // a leaf where containers would nest too deep
    } else if (step < 80) {
      if (open.size() == 1) continue;  // the root closes last
      body += "</" + open.back() + ">";
      open.pop_back();
    } else if (step < 96) {
      const std::string markup = p.Pick(kMarkup);
      const std::string text = markup[0] == '@' ? Escape(Text(p)) : Text(p);
      body += markup.substr(0, markup.find('@')) + text + markup.substr(markup.find('@') + 1);
    } else if (step < 98) {
      // A chain of elements to the depth limit (256), or one past it: refused.
      const std::size_t chain = 254 + p.Next() % (p.MayBreak() ? 4 : 3) - open.size();
      for (std::size_t i = 0; i < chain; ++i) body += "<Var>";
      for (std::size_t i = 0; i < chain; ++i) body += "</Var>";
    } else if (step < 102 && p.MayBreak()) {
      body += p.Pick(kRefusals);
    } else {
      Element(p, body, open, true);
    }
  }
  for (; !open.empty(); open.pop_back()) body += "</" + open.back() + ">";
  if (flags & 0x04) body = "<!-- before --><?app data?>\n" + body;
  if (flags >= 0xF0 && p.MayBreak()) body = "<!DOCTYPE FILE_CONVERT>" + body;
  if (flags & 0x08) body += "\n<!-- after -->";
  for (const auto* chosen : {&encoding, &kXmlEncodings[0]}) {
    const bool utf8 = *(*chosen)[1] == '\0';
    std::string text;
    if (flags & 0x01 || !(utf8 || *(*chosen)[2])) {  // a declaration where the file needs one
      text = std::string("<?xml version=\"1.0\" encoding=\"") + (*chosen)[0] +
             (flags & 0x02 ? "\" standalone=\"yes\"?>" : "\"?>");
    }
    text += body;
    if (utf8 || Convert((*chosen)[1], text)) return (*chosen)[2] + text;
  }
  return body;  // not reached: UTF-8 converts nothing
}

}  // namespace corvane_fuzz
