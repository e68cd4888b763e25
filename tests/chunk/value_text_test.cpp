// The value text of every value kind: the forms the XML chunk file carries.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/ichunk.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Text(const boost::shared_ptr<IChunk>& chunk) {
  return chunk->getValueAsString().GetString();
}

std::string Printf(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%f", value);
  return buffer;
}

const CString L("L");
const CString N("N");

TEST(ValueText, Integers) {
  EXPECT_EQ(Text(newChunk(L, N, -5)), "-5");
  EXPECT_EQ(Text(newChunk(L, N, std::numeric_limits<int>::min())), "-2147483648");
  EXPECT_EQ(Text(newChunk(L, N, 7u)), "7");
  EXPECT_EQ(Text(newChunk(L, N, 4294967295u)), "-1");
  EXPECT_EQ(Text(newChunk(L, N, static_cast<__int64>(4294967296LL))), "4294967296");
  EXPECT_EQ(Text(newChunk(L, N, static_cast<__int64>(-9223372036854775807LL - 1))),
            "-9223372036854775808");
  EXPECT_EQ(Text(newChunk(L, N, static_cast<unsigned __int64>(18446744073709551615ULL))), "-1");
  EXPECT_EQ(Text(newChunk(L, N, static_cast<unsigned __int64>(1ULL << 40))), "1099511627776");
}

TEST(ValueText, FloatsAndDoubles) {
  EXPECT_EQ(Text(newChunk(L, N, 1.5f)), "1.500000");
  EXPECT_EQ(Text(newChunk(L, N, 0.1f)), "0.100000");
  EXPECT_EQ(Text(newChunk(L, N, 1e20)), "100000000000000000000.000000");
  EXPECT_EQ(Text(newChunk(L, N, 0.0000001)), "0.000000");
  EXPECT_EQ(Text(newChunk(L, N, -0.0000001)), "-0.000000");
  EXPECT_EQ(Text(newChunk(L, N, 0.0000005)), Printf(0.0000005));
  EXPECT_EQ(Text(newChunk(L, N, 2.5)), "2.500000");
  EXPECT_EQ(Text(newChunk(L, N, std::numeric_limits<double>::max())),
            Printf(std::numeric_limits<double>::max()));
  EXPECT_EQ(Text(newChunk(L, N, -std::numeric_limits<double>::max(), 1e300, -1e-300, 0.0)),
            Printf(-std::numeric_limits<double>::max()) + "," + Printf(1e300) + ",-0.000000," +
                "0.000000");
}

TEST(ValueText, NonFiniteValuesReadAsPrintfWritesThem) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Text(newChunk(L, N, nan)), Printf(nan));
  EXPECT_EQ(Text(newChunk(L, N, -nan)), Printf(-nan));
  EXPECT_EQ(Text(newChunk(L, N, inf)), "inf");
  EXPECT_EQ(Text(newChunk(L, N, -inf)), "-inf");
  EXPECT_EQ(Text(newChunk(L, N, static_cast<float>(-inf), static_cast<float>(nan))),
            "-inf," + Printf(nan));
}

TEST(ValueText, Vectors) {
  EXPECT_EQ(Text(newChunk(L, N, 1.0f, 2.5f)), "1.000000,2.500000");
  EXPECT_EQ(Text(newChunk(L, N, 1.0f, 0.5f, 0.0f)), "1.000000,0.500000,0.000000");
  EXPECT_EQ(Text(newChunk(L, N, 1.0f, 2.0f, 3.0f, -4.0f)), "1.000000,2.000000,3.000000,-4.000000");
  EXPECT_EQ(Text(newChunk(L, N, 1.0, 2.5)), "1.000000,2.500000");
  EXPECT_EQ(Text(newChunk(L, N, 1.0, 2.5, -3.0)), "1.000000,2.500000,-3.000000");
  EXPECT_EQ(Text(newChunk(L, N, 0.25, 0.5, 0.75, 1.0)), "0.250000,0.500000,0.750000,1.000000");
}

TEST(ValueText, BoolsTextsAndNoValue) {
  EXPECT_EQ(Text(newChunk(L, N, true)), "true");
  EXPECT_EQ(Text(newChunk(L, N, false)), "false");
  EXPECT_EQ(Text(newChunk(L, N, CString("load bearing"))), "load bearing");
  EXPECT_EQ(Text(newChunk(L, N, CString(""))), "");
  EXPECT_EQ(Text(newChunk(L, N, CString("\xD5\xFD"))), "\xD5\xFD");
  EXPECT_EQ(Text(newChunk(L, N, CString("Color"), CString("red"))), "red");
  EXPECT_EQ(Text(newChunk(L, N, CString("int"), CString("5"))), "5");
  EXPECT_EQ(Text(newChunk(L, N)), "");
  EXPECT_EQ(Text(newChunk(L)), "");
}

TEST(ValueText, MatchesPrintfOverManyValues) {
  double value = 1e-9;
  for (int i = 0; i < 2000; ++i) {
    value *= -1.0371;
    ASSERT_EQ(Text(newChunk(L, N, value)), Printf(value)) << i;
    const float single = static_cast<float>(value);
    ASSERT_EQ(Text(newChunk(L, N, single)), Printf(static_cast<double>(single))) << i;
  }
}

}  // namespace
