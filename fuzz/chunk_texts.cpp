#include "chunk_texts.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace corvane_fuzz {
namespace {

const char* const kLabels[] = {"FILE_CONVERT",
                               "SysVar",
                               "Layers",
                               "Environment",
                               "Materials",
                               "Meshs",
                               "Groups",
                               "Entitys",
                               "sysvar",
                               "Var",
                               "Layer",
                               "Color",
                               "att",
                               "Entity",
                               "Mesh",
                               "Face",
                               "V",
                               "a",
                               "_x",
                               "x-1.y",
                               "\xE5\x9B\xBE\xE5\xB1\x82",  // 图层
                               "\xC3\xA9t\xC3\xA9",         // été
                               "p:Var",
                               "q:a"};
// Not XML names, or names the namespace rules refuse: the file does not load.
const char* const kBadLabels[] = {"1x", "a b", "-x", ":x", "p:", "a:b:c", "x\xEF\xBF\xBE"};
const char* const kNames[] = {"Scale",
                              "DIMSCALE",
                              "dimscale",
                              "Walls",
                              "Count",
                              "",
                              "\xE5\xA2\x99\xE4\xBD\x93",  // 墙体
                              "n 1",
                              "a&b",
                              "x\ty"};
const char* const kTags[] = {"int",     "uint",    "float",   "long64", "ulong64",
                             "double",  "bool",    "float2",  "float3", "float4",
                             "double2", "double3", "double4", "string"};
const char* const kBadTags[] = {"",        "color",  "float5", "int ",   "str",
                                "double1", "ulong6", "i",      "stringx"};
const char* const kIntegers[] = {"0",
                                 "1",
                                 "-1",
                                 "42",
                                 "2147483647",
                                 "-2147483648",
                                 "2147483648",
                                 "4294967295",
                                 "4294967296",
                                 "9223372036854775807",
                                 "-9223372036854775808",
                                 "9223372036854775808",
                                 "18446744073709551615",
                                 "18446744073709551616",
                                 "+7",
                                 "007",
                                 " 1",
                                 "1 ",
                                 "0x1F",
                                 "1e3",
                                 "",
                                 "-",
                                 "123456789012345678901234567890123"};
const char* const kReals[] = {
    "0",           "-0",     "1.5",      "-0.000001", "2.500000",
    "3.402823e38", "3.5e38", "1e-45",    "1e-50",     "1e308",
    "1e309",       "-1e309", "nan",      "NaN",       "-nan",
    "inf",         "-inf",   "Infinity", "1.",        ".5",
    "1e",          "2.5E+3", " 2",       "x",         "0.1234567890123456789012345678901"};
const char* const kBools[] = {"true", "false", "TRUE", "True", "1", "0", "yes", ""};
// Vector separators: the comma, '|', and the full-width comma (U+FF0C),
// which becomes A3 AC in code page 936, each byte a separator of its own.
const char* const kSeparators[] = {",", ",", "|", "\xEF\xBC\x8C", ", ", ",,"};
const char* const kTexts[] = {"",
                              "load bearing",
                              "a&b<c>\"'",
                              "\t\n\r",
                              "  padded  ",
                              "\xE6\xAD\xA3\xE5\x9C\xA8\xE8\xAF\xBB\xE5\x8F\x96",  // 正在读取
                              "\xEF\xBC\x8C",      // full-width comma
                              "\xC3\xA9",          // é, in code page 936
                              "\xF0\x9F\x98\x80",  // an emoji, not in code page 936
                              "\xE1\x88\x80",      // Ethiopic, not in code page 936
                              "]]>",
                              "&#10;",
                              "%s%n"};

std::string Integer(Random& random) {
  if (!random.OneIn(3)) return random.Pick(kIntegers);
  const std::uint64_t bits = random.Bits();
  switch (random.Below(4)) {
    case 0:
      return std::to_string(static_cast<std::int32_t>(bits));
    case 1:
      return std::to_string(static_cast<std::uint32_t>(bits));
    case 2:
      return std::to_string(static_cast<std::int64_t>(bits));
    default:
      return std::to_string(bits);
  }
}

std::string Real(Random& random) {
  if (random.OneIn(2)) return random.Pick(kReals);
  const std::uint64_t bits = random.Bits();
  double number;
  if (random.OneIn(4)) {
    std::memcpy(&number, &bits, sizeof number);  // any bit pattern: NaNs, denormals
  } else {
    number = static_cast<double>(static_cast<std::int64_t>(bits % 2000001) - 1000000) / 1000.0;
  }
  const char* const formats[] = {"%f", "%g", "%.17g", "%e"};
  char text[64];
  std::snprintf(text, sizeof text, random.Pick(formats), number);
  return text;
}

std::string Vector(Random& random, int count) {
  if (random.OneIn(8)) count += random.OneIn(2) ? 1 : -1;  // the wrong number of components
  const std::string separator = random.Pick(kSeparators);
  std::string value;
  for (int i = 0; i < count; ++i) {
    if (i > 0) value += random.OneIn(8) ? random.Pick(kSeparators) : separator.c_str();
    value += random.OneIn(4) ? Real(random) : std::to_string(random.Below(100)) + ".5";
  }
  return value;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsNameStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == ':' || c >= 0x80; }

// The next character of `text` at `at` when it is one XML allows, else 0.
std::uint32_t XmlCharacter(const std::string& text, std::size_t at, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead >= 0x80 && (lead < 0xC2 || lead > 0xF4)) return 0;
  if (at + length > text.size()) return 0;
  std::uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i) & 0x3F);
  }
  const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < smallest[length] || c > 0x10FFFF) return 0;
  const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                       (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
  return allowed ? c : 0;
}

}  // namespace

std::string RandomLabel(Random& random) {
  if (random.OneIn(64)) return random.Pick(kBadLabels);
  if (random.OneIn(4)) {
    std::string label(1, "abcXYZ_"[random.Below(7)]);
    for (std::size_t i = random.Below(12); i > 0; --i) label += "az09_.-Q"[random.Below(8)];
    return label;
  }
  return random.Pick(kLabels);
}

std::string RandomChunkName(Random& random) {
  return random.OneIn(4) ? RandomText(random) : random.Pick(kNames);
}

std::string RandomTypeTag(Random& random) {
  if (random.OneIn(16)) return random.Pick(kBadTags);
  std::string tag = random.Pick(kTags);
  if (random.OneIn(8)) {
    for (char& c : tag) {
      if (random.OneIn(2)) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return tag;
}

std::string RandomValue(Random& random, const std::string& type) {
  const std::string tag = Lower(type);
  if (random.OneIn(32)) return RandomText(random);  // anything at all
  if (tag == "bool") return random.Pick(kBools);
  if (tag == "float" || tag == "double") return Real(random);
  if (tag.size() == 6 && tag.compare(0, 5, "float") == 0) return Vector(random, tag[5] - '0');
  if (tag.size() == 7 && tag.compare(0, 6, "double") == 0) return Vector(random, tag[6] - '0');
  if (tag == "string" || tag.empty()) return RandomText(random);
  return random.OneIn(8) ? Real(random) : Integer(random);
}

std::string RandomText(Random& random) {
  std::string text;
  for (std::size_t pieces = 1 + random.Below(3); pieces > 0; --pieces) text += random.Pick(kTexts);
  if (random.OneIn(16)) text.append(200 + random.Below(400), "xy\xE4\xB8\xAD"[random.Below(2)]);
  return text;
}

bool IsXmlName(const std::string& name) {
  if (name.empty() || !IsNameStart(static_cast<unsigned char>(name[0]))) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (!IsNameStart(byte) && !std::isdigit(byte) && c != '-' && c != '.') return false;
  }
  return XmlCharacters(name) == name;
}

std::string XmlCharacters(const std::string& text) {
  std::string kept;
  for (std::size_t at = 0, length = 1; at < text.size(); at += length) {
    if (XmlCharacter(text, at, length) != 0) {
      kept.append(text, at, length);
    } else {
      length = 1;  // drop one byte and look again from the next
    }
  }
  return kept;
}

}  // namespace corvane_fuzz
