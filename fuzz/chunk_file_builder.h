// The chunk file a built input of the XML targets stands for (fuzz_support.h):
// chunks with a label, Name, Type and a Value good or bad for the type, nested
// to the depth limit, markup, an encoding; now and then (mayBreak) a refusal.
#pragma once

#include <iconv.h>

#include "fuzz_support.h"

namespace corvane_fuzz {

// clang-format off
struct TypeTag { const char* tag; int count; };  // count: numbers in the value; 0: text
// {declared, iconv's name ("" for UTF-8), byte order mark}; GB2312 is read as CP936.
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
    {"int", 1}, {"uint", 1}, {"float", 1}, {"long64", 1}, {"ulong64", 1}, {"double", 1},
    {"bool", 1}, {"float2", 2}, {"float3", 3}, {"float4", 4}, {"double2", 2}, {"double3", 3},
    {"double4", 4}, {"string", 0}, {"INT", 1}, {"Double3", 3}, {"float5", 5}, {"", 0}};
// Numbers in and out of every type's range, bools, and some that are neither.
constexpr const char* kNumbers[] = {
    "0", "1", "-1", "true", "false", "TRUE", "yes", "2147483647", "-2147483648", "2147483648",
    "4294967295", "4294967296", "9223372036854775807", "-9223372036854775808", "1e", "x",
    "18446744073709551615", "18446744073709551616", "+7", " 1", "0x1F", "", "1.5", "-0.000001",
    "3.402823e38", "3.5e38", "1e-45", "1e309", "nan", "-inf", ".5"};
// The full-width comma (U+FF0C) becomes A3 AC in code page 936.
constexpr const char* kSeparators[] = {",", ",", "|", "\xEF\xBC\x8C", ", ", ",,"};
// No "--", "]]>" or "?>": texts go into comments, CDATA and PIs too. Code
// page 936 holds neither the emoji nor the Ethiopic letter.
constexpr const char* kTexts[] = {
    "", "load bearing", "a&b<c>\"'", "\t\n\r", "\xE6\xAD\xA3\xE5\x9C\xA8", "\xC3\xA9",
    "\xF0\x9F\x98\x80", "\xE1\x88\x80", "%s%n"};
// Between chunks; '@' stands for a text.
constexpr const char* kMarkup[] = {
    "<!--@-->", "<![CDATA[@]]>", "<?pi @?>", "@&#10;", "@&amp;", "@&#x4E2D;", "@&lt;&apos;"};
// Each refuses the file: not a name, repeated attributes, prefixes unbound or
// undeclared, characters XML or UTF-8 do not allow, an unknown entity, tags.
constexpr const char* kRefusals[] = {
    "<1x/>", "<a Name=\"x\" Name=\"y\"/>", "<a p:x=\"1\" p:x=\"2\"/>", "<q:a/>",
    "<a xmlns:p=\"\"/>", "&#1;", "]]>", "&e;", "<a></b>", "\xFF"};
// clang-format on

inline std::string Escape(const std::string& text) {
  std::string escaped;
  for (const char c : text)
    escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '"' ? "&quot;" : std::string(1, c);
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
  return how & 1 ? std::to_string(p.Bytes<std::int32_t>()) : std::to_string(p.Bytes<double>());
}

inline std::string Value(Program& p, const TypeTag& type) {
  const std::uint8_t how = p.Next();
  if (type.count == 0 || how == 0xFF) return Text(p);
  const std::string separator = p.Pick(kSeparators);
  // Now and then one component too many or too few.
  std::string value = type.count > 1 || how != 0xFD ? Number(p) : "";
  for (int i = 1; i < type.count + (how == 0xFE) - (how == 0xFD); ++i)
    value += separator + Number(p);
  return value;
}

// A chunk: a leaf, or a container left open until a close step.
inline void Element(Program& p, std::string& body, std::vector<std::string>& open, bool leaf) {
  const std::string label = p.Pick(kLabels);
  const std::uint8_t has = p.Next();
  body += "<" + label;
  if (has & 0x01) body += " Name=\"" + Escape(Text(p)) + "\"";
  if (has & 0x06) {
    const TypeTag& type = p.Pick(kTypes);
    body += std::string(" Type=\"") + type.tag + "\"";
    if (has & 0x04) body += " Value=\"" + Escape(Value(p, type)) + "\"";
  }
  body += leaf ? "/>" : ">";
  if (!leaf) open.push_back(label);
}

// `text` from UTF-8 to `to`; false, `text` unchanged, when `to` cannot hold it.
inline bool Convert(const char* to, std::string& text) {
  const iconv_t converter = iconv_open(to, "UTF-8");
  std::string out(text.size() * 4, '\0');
  char* in = text.data();
  char* at = out.data();
  std::size_t inLeft = text.size();
  std::size_t outLeft = out.size();
  const bool whole = iconv(converter, &in, &inLeft, &at, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  if (whole) text = out.substr(0, out.size() - outLeft);
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
      const std::size_t chain = 254 + p.Next() % (p.mayBreak ? 4 : 3) - open.size();
      for (std::size_t i = 0; i < chain; ++i) body += "<Var>";
      for (std::size_t i = 0; i < chain; ++i) body += "</Var>";
    } else if (step < 102 && p.mayBreak) {
      body += p.Pick(kRefusals);
    } else {
      Element(p, body, open, true);
    }
  }
  for (; !open.empty(); open.pop_back()) body += "</" + open.back() + ">";
  if (flags >= 0xF0 && p.mayBreak) body = "<!DOCTYPE FILE_CONVERT>" + body;
  if (flags & 0x04) body = "<!-- before --><?app data?>\n" + body + "\n<!-- after -->";
  const bool utf8 = *encoding[1] == '\0';
  std::string text;
  if (flags & 0x01 || !(utf8 || *encoding[2])) {  // a declaration where the file needs one
    text = std::string("<?xml version=\"1.0\" encoding=\"") + encoding[0] +
           (flags & 0x02 ? "\" standalone=\"yes\"?>" : "\"?>");
  }
  text += body;
  // Text the encoding cannot hold leaves the file in UTF-8, undeclared.
  return utf8 || Convert(encoding[1], text) ? encoding[2] + text : body;
}

}  // namespace corvane_fuzz
