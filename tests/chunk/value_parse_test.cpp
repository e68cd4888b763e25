// The element-to-chunk rules of the XML chunk file's reader.
#include "chunk/value_parse.h"

#include <corvane/chunk/chunk_factory.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include <boost/lexical_cast.hpp>

namespace {

using corvane::ChunkFromElement;
using corvane::DropReason;

boost::shared_ptr<IChunk> Read(const char* type, const char* value, DropReason* reason = nullptr) {
  return ChunkFromElement(CString("Var"), CString("N"), CString(type), CString(value), reason);
}

DropReason Why(const char* type, const char* value) {
  DropReason reason = DropReason::kNone;
  EXPECT_FALSE(Read(type, value, &reason)) << type << " " << value;
  return reason;
}

TEST(ElementRules, UntypedElements) {
  DropReason reason = DropReason::kBadNumber;
  boost::shared_ptr<IChunk> labelOnly =
      ChunkFromElement(CString("att"), CString(""), CString(""), CString("dropped"), &reason);
  ASSERT_TRUE(labelOnly);
  EXPECT_EQ(reason, DropReason::kNone);
  EXPECT_EQ(labelOnly->label(), "att");
  EXPECT_EQ(labelOnly->valueKind(), IChunk::kNoValue);

  boost::shared_ptr<IChunk> named = Read("", "V");  // the value is dropped
  ASSERT_TRUE(named);
  EXPECT_EQ(named->name(), "N");
  EXPECT_TRUE(named->type().IsEmpty());
  EXPECT_EQ(named->getValueAsString(), "");
}

TEST(ElementRules, TagsIgnoreCaseAndComeBackCanonical) {
  boost::shared_ptr<IChunk> chunk = Read("INT", "5");
  ASSERT_TRUE(chunk);
  EXPECT_EQ(chunk->type(), "int");
  EXPECT_EQ(chunk->getI32Value(), 5);
  EXPECT_EQ(chunk->label(), "Var");
  EXPECT_EQ(chunk->name(), "N");
  EXPECT_EQ(Read("Double3", "1,2,3")->type(), "double3");
  EXPECT_EQ(Why("color", "red"), DropReason::kUnknownType);
  EXPECT_EQ(Why("int ", "5"), DropReason::kUnknownType);
  EXPECT_EQ(Why("integer", "5"), DropReason::kUnknownType);
}

TEST(ElementRules, IntegersTakeTheWholeText) {
  EXPECT_EQ(Read("int", "-5")->getI32Value(), -5);
  EXPECT_EQ(Read("int", "-2147483648")->getI32Value(), -2147483647 - 1);
  EXPECT_EQ(Why("int", " 5"), DropReason::kBadNumber);
  EXPECT_EQ(Why("int", "5 "), DropReason::kBadNumber);
  EXPECT_EQ(Why("int", "5.0"), DropReason::kBadNumber);
  EXPECT_EQ(Why("int", ""), DropReason::kBadNumber);
  EXPECT_EQ(Why("int", "2147483648"), DropReason::kBadNumber);
  EXPECT_EQ(Why("int", "0x10"), DropReason::kBadNumber);
  EXPECT_EQ(Read("uint", "-1")->getU32Value(), 4294967295u);  // a leading '-' wraps
  EXPECT_EQ(Read("uint", "4294967295")->getU32Value(), 4294967295u);
  EXPECT_EQ(Read("uint", "-4294967295")->getU32Value(), 1u);
  EXPECT_EQ(Why("uint", "-4294967296"), DropReason::kBadNumber);
  EXPECT_EQ(Why("uint", "4294967296"), DropReason::kBadNumber);
  EXPECT_EQ(Read("long64", "-9223372036854775808")->getI64Value(),
            static_cast<__int64>(-9223372036854775807LL - 1));
  EXPECT_EQ(Read("ulong64", "-1")->getU64Value(), 18446744073709551615ULL);
  EXPECT_EQ(Why("ulong64", "18446744073709551616"), DropReason::kBadNumber);
}

TEST(ElementRules, FloatingValues) {
  EXPECT_EQ(Read("float", "1.5")->getF32Value(), 1.5f);
  EXPECT_EQ(Read("double", "2.500000")->getF64Value(), 2.5);
  EXPECT_EQ(Read("double", "-0.000000")->getF64Value(), 0.0);
  EXPECT_EQ(Why("double", " 1"), DropReason::kBadNumber);
  EXPECT_EQ(Why("double", "1,5"), DropReason::kBadNumber);
  EXPECT_EQ(Why("float", "1e50"), DropReason::kBadNumber);  // outside float's range
  EXPECT_EQ(Why("float", ""), DropReason::kBadNumber);
}

TEST(ElementRules, BoolIsTrueOnlyForExactlyTrue) {
  EXPECT_TRUE(Read("bool", "true")->getBoolValue());
  EXPECT_FALSE(Read("bool", "TRUE")->getBoolValue());
  EXPECT_FALSE(Read("bool", "1")->getBoolValue());
  EXPECT_FALSE(Read("BOOL", "")->getBoolValue());
  EXPECT_FALSE(Read("bool", "true ")->getBoolValue());
}

TEST(ElementRules, StringsAreKeptUnchanged) {
  EXPECT_STREQ(Read("String", "load bearing")->getStringValue(), "load bearing");
  EXPECT_STREQ(Read("string", "\xD5\xFD 5")->getStringValue(), "\xD5\xFD 5");
  boost::shared_ptr<IChunk> empty = Read("string", "");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->getStringValue(), nullptr);
}

TEST(ElementRules, VectorSeparatorsAndTokens) {
  boost::shared_ptr<IChunk> piped = Read("double2", "1.5|2");
  ASSERT_TRUE(piped);
  EXPECT_EQ(piped->getF64Value2(0), 1.5);
  EXPECT_EQ(piped->getF64Value2(1), 2.0);
  // The full-width comma A3 AC splits twice: three tokens.
  EXPECT_EQ(Why("double2", "1.5\xA3\xAC" "2"), DropReason::kWrongComponentCount);
  boost::shared_ptr<IChunk> wide = Read("double3", "1.5\xA3\xAC" "2");
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->getF64Value3(1), 0.0);
  EXPECT_EQ(wide->getF64Value3(2), 2.0);

  boost::shared_ptr<IChunk> blank = Read("double2", "1.5, 2");
  ASSERT_TRUE(blank);
  EXPECT_EQ(blank->getF64Value2(1), 0.0);  // " 2" does not convert
  boost::shared_ptr<IChunk> bad = Read("float3", "1,x,3");
  ASSERT_TRUE(bad);
  EXPECT_EQ(bad->getF32Value3(0), 1.0f);
  EXPECT_EQ(bad->getF32Value3(1), 0.0f);
  EXPECT_EQ(bad->getF32Value3(2), 3.0f);
  boost::shared_ptr<IChunk> trailing = Read("float3", "1,2,");
  ASSERT_TRUE(trailing);
  EXPECT_EQ(trailing->getF32Value3(1), 2.0f);
  EXPECT_EQ(trailing->getF32Value3(2), 0.0f);
  boost::shared_ptr<IChunk> empties = Read("float4", ",,,");
  ASSERT_TRUE(empties);
  EXPECT_EQ(empties->getValueAsString(), "0.000000,0.000000,0.000000,0.000000");
  boost::shared_ptr<IChunk> huge = Read("float2", "1e50,7");  // a failed token is 0
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->getF32Value2(0), 0.0f);

  EXPECT_EQ(Why("double3", "1,2"), DropReason::kWrongComponentCount);
  EXPECT_EQ(Why("float2", ""), DropReason::kWrongComponentCount);  // one empty token
  EXPECT_EQ(Why("double4", "1,2,3,4,5"), DropReason::kWrongComponentCount);
  EXPECT_EQ(Why("float2", "1,,2"), DropReason::kWrongComponentCount);  // never merged
}

TEST(ElementRules, WrittenTextsReadBack) {
  boost::shared_ptr<IChunk> source = newChunk("v", "n", 1.0f, -0.5f, 3.25f, 1e6f);
  boost::shared_ptr<IChunk> read =
      ChunkFromElement(CString("v"), CString("n"), source->type(), source->getValueAsString());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->getValueAsString(), source->getValueAsString());
  EXPECT_EQ(read->getF32Value4(3), 1e6f);
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
  Number actual{};
  if (std::is_same<Number, double>::value) {
    const double value = chunk->getF64Value();
    std::memcpy(&actual, &value, sizeof actual);
  } else if (std::is_same<Number, float>::value) {
    const float value = chunk->getF32Value();
    std::memcpy(&actual, &value, sizeof actual);
  } else if (sizeof(Number) == 8) {
    const unsigned __int64 value = chunk->getU64Value();
    std::memcpy(&actual, &value, sizeof actual);
  } else {
    const unsigned int value = chunk->getU32Value();
    std::memcpy(&actual, &value, sizeof actual);
  }
  EXPECT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0) << type << " " << text;
}

TEST(ElementRules, NumbersReadExactlyAsLexicalCast) {
  std::mt19937_64 random(20261205);
  std::uniform_real_distribution<double> magnitude(-30, 30);
  char text[64];
  for (int i = 0; i < 20000; ++i) {
    const double value = std::pow(10.0, magnitude(random)) * (i % 2 ? -1 : 1);
    std::snprintf(text, sizeof text, "%f", value);
    ExpectSameAsLexicalCast<double>("double", text);
    ExpectSameAsLexicalCast<float>("float", text);
    std::snprintf(text, sizeof text, "%.17g", value);
    ExpectSameAsLexicalCast<double>("double", text);
    const long long whole = static_cast<long long>(random());
    std::snprintf(text, sizeof text, "%lld", whole >> (i % 60));
    ExpectSameAsLexicalCast<__int64>("long64", text);
    ExpectSameAsLexicalCast<unsigned __int64>("ulong64", text);
    ExpectSameAsLexicalCast<int>("int", text);
    ExpectSameAsLexicalCast<unsigned int>("uint", text);
  }
  for (const char* edge : {"0", "-0", "00012", "2147483647", "2147483648", "-2147483648",
                           "4294967295", "4294967296", "9223372036854775807",
                           "9223372036854775808", "18446744073709551615", "18446744073709551616",
                           "340282356779733661637539395458142568448", "1.", ".5", "-", "1e5",
                           "0.000000000000000000000000001", "999999999999999999999999999999"}) {
    ExpectSameAsLexicalCast<int>("int", edge);
    ExpectSameAsLexicalCast<unsigned int>("uint", edge);
    ExpectSameAsLexicalCast<__int64>("long64", edge);
    ExpectSameAsLexicalCast<unsigned __int64>("ulong64", edge);
    ExpectSameAsLexicalCast<float>("float", edge);
    ExpectSameAsLexicalCast<double>("double", edge);
  }
}

}  // namespace
