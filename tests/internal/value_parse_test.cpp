// The element-to-chunk rules of the XML chunk file's reader: tags, values and
// the reasons an element is left out (the file reader's tests pin the same
// rules end to end).
#include "chunk/value_parse.h"

#include <corvane/chunk/chunk_factory.h>
#include <gtest/gtest.h>

#include <boost/lexical_cast.hpp>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "chunk/value_kind.h"

namespace {

using corvane::chunk::ChunkFromElement;
using corvane::chunk::DropReason;

boost::shared_ptr<IChunk> Read(const char* type, const CString& value,
                               DropReason* reason = nullptr) {
  return ChunkFromElement(CString("Var"), CString("N"), CString(type), value, reason);
}

TEST(ElementRules, KeptValuesAndTheirCanonicalTagAndText) {
  const struct {
    const char* type;
    CString value;
    const char* tag;
    const char* text;
  } cases[] = {
      {"BOOL", "", "bool", "false"},
      {"bool", "TRUE", "bool", "false"},  // only "true" is true
      {"bool", "true ", "bool", "false"},
      {"String", "\xD5\xFD", "string", "\xD5\xFD"},
      // The full-width comma A3 AC (octal 243 254) is two separators, so
      // three components here, and its bytes separate on their own too.
      {"Double3", "1.5\243\2542", "double3", "1.500000,0.000000,2.000000"},
      {"double4", "1|2\2433\2544", "double4", "1.000000,2.000000,3.000000,4.000000"},
      {"float4", ",,,", "float4", "0.000000,0.000000,0.000000,0.000000"},
      {"float2", "1e50,7", "float2", "0.000000,7.000000"},  // a token that does not convert: 0
      {"float2", CString("1,2\0,3", 6), "float2", "1.000000,2.000000"},  // the value ends at NUL
  };
  for (const auto& c : cases) {
    DropReason reason = DropReason::kBadNumber;
    boost::shared_ptr<IChunk> chunk = Read(c.type, c.value, &reason);
    ASSERT_TRUE(chunk) << c.type << " " << c.value.GetString();
    EXPECT_EQ(reason, DropReason::kNone);
    EXPECT_TRUE(chunk->label() == "Var" && chunk->name() == "N");
    EXPECT_EQ(chunk->type(), c.tag);
    EXPECT_EQ(chunk->getValueAsString(), c.text) << c.type << " " << c.value.GetString();
  }
  EXPECT_EQ(Read("string", "")->getStringValue(), nullptr);
}

TEST(ElementRules, DroppedElementsSayWhy) {
  const struct {
    const char* type;
    const char* value;
    DropReason reason;
  } cases[] = {
      {"color", "red", DropReason::kUnknownType},
      {"int ", "5", DropReason::kUnknownType},
      {"int", "5.0", DropReason::kBadNumber},
      {"float", "1e50", DropReason::kBadNumber},                      // outside float's range
      {"double3", "1\243\2542|3", DropReason::kWrongComponentCount},  // four tokens
      {"float2", "", DropReason::kWrongComponentCount},               // one empty token
      {"double4", "1,2,3,4,", DropReason::kWrongComponentCount},
      {"float2", "1,,2", DropReason::kWrongComponentCount},  // never merged
  };
  for (const auto& c : cases) {
    DropReason reason = DropReason::kNone;
    EXPECT_FALSE(Read(c.type, c.value, &reason)) << c.type << " " << c.value;
    EXPECT_EQ(reason, c.reason) << c.type << " " << c.value;
  }
}

TEST(ElementRules, UntypedElementsDropTheirValue) {
  boost::shared_ptr<IChunk> labelOnly =
      ChunkFromElement(CString("att"), CString(""), CString(""), CString("dropped"));
  ASSERT_TRUE(labelOnly);
  EXPECT_TRUE(labelOnly->label() == "att" && labelOnly->name().IsEmpty());
  EXPECT_EQ(corvane::chunk::ChunkAccess::Kind(*labelOnly), corvane::chunk::kNoValue);
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

TEST(ElementRules, NumbersReadExactlyAsLexicalCast) {
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

}  // namespace
