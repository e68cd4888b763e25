// The element-to-chunk rules of the XML chunk file's reader (the end-to-end
// reader table in the file reader's tests pins the common cases).
#include "chunk/value_parse.h"

#include <corvane/chunk/chunk_factory.h>
#include <gtest/gtest.h>

#include <boost/lexical_cast.hpp>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "chunk/value_kind.h"

namespace {

using corvane::chunk::ChunkFromElement;
using corvane::chunk::DropReason;

boost::shared_ptr<IChunk> Read(const char* type, const char* value, DropReason* reason = nullptr) {
  return ChunkFromElement(CString("Var"), CString("N"), CString(type), CString(value), reason);
}

TEST(ElementRules, ValuesReadBackAsTheirCanonicalText) {
  const struct {
    const char* type;
    const char* value;
    const char* text;
  } cases[] = {
      {"BOOL", "", "false"},
      {"bool", "TRUE", "false"},
      {"bool", "true ", "false"},
      {"string", "\xD5\xFD", "\xD5\xFD"},
      {"string", "", ""},
      // The full-width comma A3 AC splits twice: three tokens.
      {"Double3",
       "1.5\xA3\xAC"
       "2",
       "1.500000,0.000000,2.000000"},
      {"double4",
       "1|2\xA3"
       "3\xAC"
       "4",
       "1.000000,2.000000,3.000000,4.000000"},
      {"float4", ",,,", "0.000000,0.000000,0.000000,0.000000"},
      {"float2", "1e50,7", "0.000000,7.000000"},  // a token that does not convert reads as zero
  };
  for (const auto& c : cases) {
    DropReason reason = DropReason::kBadNumber;
    boost::shared_ptr<IChunk> chunk = Read(c.type, c.value, &reason);
    ASSERT_TRUE(chunk) << c.type << " " << c.value;
    EXPECT_EQ(reason, DropReason::kNone);
    std::string tag = c.type;
    for (char& letter : tag) letter = static_cast<char>(std::tolower(letter));
    EXPECT_EQ(chunk->type(), tag.c_str());
    EXPECT_EQ(chunk->getValueAsString(), c.text) << c.type << " " << c.value;
    EXPECT_TRUE(chunk->label() == "Var" && chunk->name() == "N");
  }
  EXPECT_EQ(Read("string", "")->getStringValue(), nullptr);
  // Text after an embedded NUL is not part of the value.
  const boost::shared_ptr<IChunk> cut =
      ChunkFromElement(CString("V"), CString(""), CString("float2"), CString("1,2\0,3,4", 8));
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->getF32Value2(1), 2.0f);
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
      {"float", "1e50", DropReason::kBadNumber},  // outside float's range
      {"double2",
       "1.5\xA3\xAC"
       "2",
       DropReason::kWrongComponentCount},
      {"float2", "", DropReason::kWrongComponentCount},  // one empty token
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

  boost::shared_ptr<IChunk> source = newChunk("v", "n", 1.0f, -0.5f, 3.25f, 1e6f);
  boost::shared_ptr<IChunk> read =
      ChunkFromElement(CString("v"), CString("n"), source->type(), source->getValueAsString());
  ASSERT_TRUE(read);
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
  for (int i = 0; i < 3000; ++i) {
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
  for (const char* edge : {"0",
                           "-0",
                           "00012",
                           "2147483647",
                           "2147483648",
                           "-2147483648",
                           "4294967295",
                           "4294967296",
                           "9223372036854775807",
                           "9223372036854775808",
                           "18446744073709551615",
                           "18446744073709551616",
                           "340282356779733661637539395458142568448",
                           "1.",
                           ".5",
                           "-",
                           "1e5",
                           "0.000000000000000000000000001",
                           "999999999999999999999999999999",
                           "",
                           " 5",
                           "5 ",
                           "5.0",
                           "0x10",
                           "1,5",
                           "-1",
                           "-4294967295",
                           "-4294967296",
                           "-9223372036854775808",
                           "-0.000000",
                           "1e50"}) {
    ExpectSameAsLexicalCast<int>("int", edge);
    ExpectSameAsLexicalCast<unsigned int>("uint", edge);
    ExpectSameAsLexicalCast<__int64>("long64", edge);
    ExpectSameAsLexicalCast<unsigned __int64>("ulong64", edge);
    ExpectSameAsLexicalCast<float>("float", edge);
    ExpectSameAsLexicalCast<double>("double", edge);
  }
}

}  // namespace
