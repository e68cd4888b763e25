// A value's text both ways: the element-to-chunk rules of the chunk file's
// reader (tags, values, the reasons an element is left out) and the text
// written for a value, printf's "%f" digits bit for bit.
#include <corvane/chunk/chunk_factory.h>
#include <gtest/gtest.h>

#include <boost/lexical_cast.hpp>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "chunk/value_parse.h"
#include "support/allocation_meter.h"

namespace {

using corvane::chunk::ChunkFromElement;
using corvane::chunk::DropReason;

boost::shared_ptr<IChunk> Read(const char* type, const CString& value,
                               DropReason* reason = nullptr) {
  return ChunkFromElement(CString("Var"), CString("N"), CString(type), value, reason);
}

TEST(ValueParse, CanonicalTagAndTextOrWhyTheElementIsLeftOut) {
  const struct {
    const char* type;
    CString value;
    const char* tag;  // nullptr: left out for `reason`
    const char* text;
    DropReason reason = DropReason::kNone;
  } cases[] = {
      // The tag's letter case does not count, the text's does: only "true" is true.
      {"BOOL", "true", "bool", "true"},
      {"bool", "TRUE", "bool", "false"},
      {"bool", "true ", "bool", "false"},
      // Each byte of the full-width comma A3 AC (octal 243 254) separates on its
      // own too (the pair, in files of either encoding: xml_file_io_test.cpp).
      {"double4", "1|2\2433\2544", "double4", "1.000000,2.000000,3.000000,4.000000"},
      {"float2", "1e50,7", "float2", "0.000000,7.000000"},  // a token that does not convert: 0
      {"float2", CString("1,2\0,3", 6), "float2", "1.000000,2.000000"},  // the value ends at NUL
      {"int ", "5", nullptr, nullptr, DropReason::kUnknownType},         // not trimmed
      {"float", "1e50", nullptr, nullptr, DropReason::kBadNumber},       // outside float's range
      {"float2", "1,,2", nullptr, nullptr, DropReason::kWrongComponentCount},  // never merged
  };
  for (const auto& c : cases) {
    DropReason reason = c.tag ? DropReason::kBadNumber : DropReason::kNone;
    boost::shared_ptr<IChunk> chunk = Read(c.type, c.value, &reason);
    EXPECT_EQ(reason, c.reason) << c.type << " " << c.value.GetString();
    ASSERT_EQ(static_cast<bool>(chunk), c.tag != nullptr) << c.type << " " << c.value.GetString();
    if (!chunk) continue;
    EXPECT_EQ(chunk->type(), c.tag);
    EXPECT_EQ(chunk->getValueAsString(), c.text) << c.type << " " << c.value.GetString();
  }
}

// A value made of separators was once split into a token per separator before the
// count was checked. Measured: the peak of live bytes taken through operator new
// while refusing it; half a million separators peak no higher than a thousand.
TEST(ValueParse, SeparatorsAreRefusedAtACostIndependentOfTheirNumber) {
  const auto peak = [](const std::string& unit, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += unit;
    const CString value(text.c_str());  // copied before the measure starts
    DropReason reason = DropReason::kNone;
    corvane_test::AllocationMeter meter;
    EXPECT_FALSE(Read("double2", value, &reason));
    EXPECT_EQ(reason, DropReason::kWrongComponentCount);
    return meter.PeakAboveStart();
  };
  for (const std::string unit : {",", "1|\xA3\xAC"})
    EXPECT_LE(peak(unit, 500000), peak(unit, 1000)) << unit;
}

// glibc's form of what is not finite, which the values take on every platform
// (the Windows runtime writes NaN without its sign).
std::string Printf(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%f", value);
  return buffer;
}

// The reader takes a faster route for the plain numbers it writes; what it
// reads must stay bit for bit what boost::lexical_cast reads.
template <typename Number>
void ExpectSameAsLexicalCast(const char* type, const std::string& text) {
  boost::shared_ptr<IChunk> chunk = Read(type, text.c_str());
  Number expected{};
  const bool converts = boost::conversion::try_lexical_convert(text, expected);
  ASSERT_EQ(static_cast<bool>(chunk), converts) << type << " " << text;
  if (!chunk) return;
  // Every kind's value starts at the first byte of the value union.
  const unsigned __int64 bits = sizeof(Number) == 8 ? chunk->getU64Value() : chunk->getU32Value();
  EXPECT_EQ(std::memcmp(&bits, &expected, sizeof expected), 0) << type << " " << text;
}

// The integer kinds share one reader: the narrowest signed and the widest unsigned stand for all.
void ExpectEveryTypeAsLexicalCast(const std::string& text) {
  ExpectSameAsLexicalCast<int>("int", text);
  ExpectSameAsLexicalCast<unsigned __int64>("ulong64", text);
  ExpectSameAsLexicalCast<float>("float", text);
  ExpectSameAsLexicalCast<double>("double", text);
}

TEST(ValueParse, NumbersReadExactlyAsLexicalCast) {
  std::mt19937_64 random(20261205);
  std::uniform_real_distribution<double> magnitude(-30, 30);
  for (int i = 0; i < 3000; ++i) {
    ExpectEveryTypeAsLexicalCast(Printf(std::pow(10.0, magnitude(random)) * (i % 2 ? -1 : 1)));
    ExpectEveryTypeAsLexicalCast(std::to_string(static_cast<long long>(random()) >> (i % 60)));
  }
  // One edge a line: limits of each type, forms lexical_cast refuses, blanks.
  std::istringstream edges(
      "0\n-0\n00012\n2147483647\n2147483648\n-2147483648\n-2147483649\n18446744073709551615\n"
      "18446744073709551616\n340282356779733661637539395458142568448\n1.\n.5\n-\n1e5\n"
      "0.000000000000000000000000001\n999999999999999999999999999999\n\n 5\n5 \n5.0\n0x10\n"
      "1,5\n-1\n-9223372036854775808\n-0.000000\n1e50\n");
  for (std::string edge; std::getline(edges, edge);) ExpectEveryTypeAsLexicalCast(edge);
}

// A double and the float nearest to it, each as printf prints it.
void ExpectPrintfText(double value) {
  EXPECT_EQ(newChunk("L", "N", value)->getValueAsString(), Printf(value).c_str());
  const float single = static_cast<float>(value);
  EXPECT_EQ(newChunk("L", "N", single)->getValueAsString(), Printf(single).c_str());
}

// Exact rounding ties, subnormals, non-finite values, the 2^52 boundary where
// the integer formatting hands over to the general one, then random values.
TEST(ValueFormat, EdgesAndRandomValuesMatchPrintf) {
  std::istringstream cases(
      "0 -0 4.9406564584124654e-324 -4.9406564584124654e-324 2.2250738585072014e-308 "
      "4.9999999999999996e-7 5e-7 -5.0000000000000004e-7 0.9999995 -9.9999995 4503599627370495.5 "
      "-4503599627370496 9007199254740991 9007199254740992 18446744073709.551 "
      "18446744073709551616 -1000000000000000.3 1.7976931348623157e308 inf -inf nan -nan");
  for (std::string text; cases >> text;) ExpectPrintfText(std::strtod(text.c_str(), nullptr));
  // k/128 for odd k is an exact tie in the seventh decimal (x.5 millionths).
  for (int k = -513; k <= 513; k += 2) ExpectPrintfText(k / 128.0);
  // The longest text fits the buffer; components are joined by commas.
  const std::string longest = Printf(-DBL_MAX);
  EXPECT_EQ(newChunk("L", "N", -DBL_MAX, -DBL_MAX, -DBL_MAX, -DBL_MAX)->getValueAsString(),
            (longest + "," + longest + "," + longest + "," + longest).c_str());
  std::mt19937_64 random(20240517);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-30, 60);
  for (int i = 0; i < 5000; ++i) ExpectPrintfText(std::ldexp(mantissa(random), exponent(random)));
}

}  // namespace
