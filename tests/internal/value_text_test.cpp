// A value's text both ways: the element-to-chunk rules of the chunk file's
// reader (tags, values, the reasons an element is left out) and the text
// written for a value, printf's "%f" digits bit for bit.
#include <corvane/chunk/chunk_factory.h>
#include <gtest/gtest.h>

#include <boost/lexical_cast.hpp>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "chunk/value_format.h"
#include "chunk/value_kind.h"
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
      {"BOOL", "", "bool", "false"},
      {"bool", "TRUE", "bool", "false"},  // only "true" is true
      {"bool", "true ", "bool", "false"},
      {"String", "\xD5\xFD", "string", "\xD5\xFD"},
      // Each byte of the full-width comma A3 AC (octal 243 254) separates on its
      // own too (the pair, in files of either encoding: xml_file_io_test.cpp).
      {"double4", "1|2\2433\2544", "double4", "1.000000,2.000000,3.000000,4.000000"},
      {"float4", ",,,", "float4", "0.000000,0.000000,0.000000,0.000000"},
      {"float2", "1e50,7", "float2", "0.000000,7.000000"},  // a token that does not convert: 0
      {"float2", CString("1,2\0,3", 6), "float2", "1.000000,2.000000"},  // the value ends at NUL
      {"color", "red", nullptr, nullptr, DropReason::kUnknownType},
      {"int ", "5", nullptr, nullptr, DropReason::kUnknownType},
      {"int", "5.0", nullptr, nullptr, DropReason::kBadNumber},
      {"float", "1e50", nullptr, nullptr, DropReason::kBadNumber},         // outside float's range
      {"float2", "", nullptr, nullptr, DropReason::kWrongComponentCount},  // one empty token
      {"double4", "1,2,3,4,", nullptr, nullptr, DropReason::kWrongComponentCount},
      {"float2", "1,,2", nullptr, nullptr, DropReason::kWrongComponentCount},  // never merged
  };
  for (const auto& c : cases) {
    DropReason reason = c.tag ? DropReason::kBadNumber : DropReason::kNone;
    boost::shared_ptr<IChunk> chunk = Read(c.type, c.value, &reason);
    EXPECT_EQ(reason, c.reason) << c.type << " " << c.value.GetString();
    ASSERT_EQ(static_cast<bool>(chunk), c.tag != nullptr) << c.type << " " << c.value.GetString();
    if (!chunk) continue;
    EXPECT_TRUE(chunk->label() == "Var" && chunk->name() == "N");
    EXPECT_EQ(chunk->type(), c.tag);
    EXPECT_EQ(chunk->getValueAsString(), c.text) << c.type << " " << c.value.GetString();
  }
  EXPECT_EQ(Read("string", "")->getStringValue(), nullptr);
  boost::shared_ptr<IChunk> untyped =
      ChunkFromElement(CString("att"), CString(""), CString(""), CString("dropped"));
  ASSERT_TRUE(untyped);
  EXPECT_EQ(corvane::chunk::ChunkAccess::Kind(*untyped), corvane::chunk::kNoValue);
}

// A value made of separators was once split into a token per separator before
// the count was checked. Measured: the peak of live bytes taken through
// operator new while refusing it; half a million separators peak no higher
// than a thousand.
TEST(ValueParse, SeparatorsAreRefusedAtACostIndependentOfTheirNumber) {
  const auto peak = [](const char* type, const std::string& unit, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += unit;
    const CString value(text.data(), static_cast<int>(text.size()));
    DropReason reason = DropReason::kNone;
    corvane_test::AllocationMeter meter;
    EXPECT_FALSE(Read(type, value, &reason));
    EXPECT_EQ(reason, DropReason::kWrongComponentCount) << type;
    return meter.PeakAboveStart();
  };
  for (const char* type : {"double2", "float4"}) {
    for (const std::string unit : {",", "1|\xA3\xAC"}) {
      EXPECT_LE(peak(type, unit, 500000), peak(type, unit, 1000)) << type << " " << unit;
    }
  }
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

void ExpectEveryTypeAsLexicalCast(const std::string& text) {
  ExpectSameAsLexicalCast<int>("int", text);
  ExpectSameAsLexicalCast<unsigned int>("uint", text);
  ExpectSameAsLexicalCast<__int64>("long64", text);
  ExpectSameAsLexicalCast<unsigned __int64>("ulong64", text);
  ExpectSameAsLexicalCast<float>("float", text);
  ExpectSameAsLexicalCast<double>("double", text);
}

TEST(ValueParse, NumbersReadExactlyAsLexicalCast) {
  std::mt19937_64 random(20261205);
  std::uniform_real_distribution<double> magnitude(-30, 30);
  char text[64];
  for (int i = 0; i < 3000; ++i) {
    const double value = std::pow(10.0, magnitude(random)) * (i % 2 ? -1 : 1);
    std::snprintf(text, sizeof text, "%f", value);
    ExpectEveryTypeAsLexicalCast(text);
    std::snprintf(text, sizeof text, "%.17g", value);
    ExpectSameAsLexicalCast<double>("double", text);
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(random()) >> (i % 60));
    ExpectEveryTypeAsLexicalCast(text);
  }
  // One edge a line: limits of each type, forms lexical_cast refuses, blanks.
  std::istringstream edges(
      "0\n-0\n00012\n2147483647\n2147483648\n-2147483648\n4294967295\n4294967296\n"
      "9223372036854775807\n9223372036854775808\n18446744073709551615\n18446744073709551616\n"
      "340282356779733661637539395458142568448\n1.\n.5\n-\n1e5\n0.000000000000000000000000001\n"
      "999999999999999999999999999999\n\n 5\n5 \n5.0\n0x10\n1,5\n-1\n-4294967295\n"
      "-4294967296\n-9223372036854775808\n-0.000000\n1e50\n");
  for (std::string edge; std::getline(edges, edge);) ExpectEveryTypeAsLexicalCast(edge);
}

std::string Printf(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%f", value);
  return buffer;
}

// Both forms of the text are what is expected.
void ExpectText(const boost::shared_ptr<IChunk>& chunk, const std::string& expected) {
  corvane::chunk::ValueTextBuffer buffer;
  ASSERT_EQ(std::string(corvane::chunk::FormatValueText(*chunk, buffer)), expected);
  ASSERT_EQ(std::string(chunk->getValueAsString().GetString()), expected);
}

// A double and the float nearest to it, each as printf prints it.
void ExpectPrintfText(double value) {
  ExpectText(newChunk("L", "N", value), Printf(value));
  const float single = static_cast<float>(value);
  ExpectText(newChunk("L", "N", single), Printf(static_cast<double>(single)));
}

// Exact rounding ties, subnormals, non-finite values, the 2^52 boundary where
// the integer formatting hands over to the general one, then random bits.
TEST(ValueFormat, EdgesAndRandomValuesMatchPrintf) {
  std::istringstream cases(
      "0 4.9406564584124654e-324 2.2250738585072014e-308 4.9999999999999996e-7 5e-7 "
      "5.0000000000000004e-7 0.9999995 9.9999995 4503599627370495.5 4503599627370496 "
      "9007199254740991 9007199254740992 18446744073709.551 18446744073709551616 "
      "-1000000000000000.3 1.7976931348623157e308 inf nan");
  for (std::string text; cases >> text;) {
    ExpectPrintfText(std::strtod(text.c_str(), nullptr));
    ExpectPrintfText(-std::strtod(text.c_str(), nullptr));
  }
  // k/128 for odd k is an exact tie in the seventh decimal (x.5 millionths).
  for (int k = -513; k <= 513; k += 2) ExpectPrintfText(k / 128.0);
  ExpectText(newChunk("L", "N", 1.0 / 128), "0.007812");  // ties to even, as printf
  ExpectText(newChunk("L", "N", 3.0 / 128), "0.023438");
  // The longest text fits the buffer; components are joined by commas.
  const double max = std::numeric_limits<double>::max(), inf = HUGE_VAL;
  const std::string longest = Printf(-max);
  ExpectText(newChunk("L", "N", -max, -max, -max, -max),
             longest + "," + longest + "," + longest + "," + longest);
  ExpectText(newChunk("L", "N", -max, -1e-300, inf), longest + ",-0.000000,inf");
  std::mt19937_64 random(20240517);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-30, 60);
  for (int i = 0; i < 5000; ++i) {
    double value = std::ldexp(mantissa(random), exponent(random));
    if (i % 3 == 0) {
      const std::uint64_t bits = random();  // any bit pattern, NaNs included
      std::memcpy(&value, &bits, sizeof value);
    }
    ExpectPrintfText(value);
  }
}

}  // namespace
