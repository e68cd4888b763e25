// The value text written into a caller's buffer: printf's "%f" digits for
// doubles and floats across magnitudes, exact rounding ties, subnormals,
// non-finite values and the 2^52 boundary where the integer formatting hands
// over to the general one. The text of each kind is pinned by the chunk
// factories' table.
#include "chunk/value_format.h"

#include <corvane/chunk/chunk_factory.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

using corvane::chunk::FormatValueText;
using corvane::chunk::ValueTextBuffer;

std::string Printf(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%f", value);
  return buffer;
}

// Both forms of the text are what is expected.
void ExpectText(const boost::shared_ptr<IChunk>& chunk, const std::string& expected) {
  ValueTextBuffer buffer;
  ASSERT_EQ(std::string(FormatValueText(*chunk, buffer)), expected);
  ASSERT_EQ(std::string(chunk->getValueAsString().GetString()), expected);
}

// A double and the float nearest to it, each as printf prints it.
void ExpectPrintfText(double value) {
  ExpectText(newChunk("L", "N", value), Printf(value));
  const float single = static_cast<float>(value);
  ExpectText(newChunk("L", "N", single), Printf(static_cast<double>(single)));
}

TEST(ValueFormat, BoundariesSubnormalsAndNonFiniteValues) {
  const double max = std::numeric_limits<double>::max();
  const double inf = std::numeric_limits<double>::infinity();
  const double cases[] = {0.0,
                          std::numeric_limits<double>::denorm_min(),
                          std::numeric_limits<double>::min(),
                          4.9999999999999996e-7,
                          5e-7,
                          5.0000000000000004e-7,
                          0.9999995,
                          9.9999995,
                          4503599627370495.5,
                          4503599627370496.0,
                          9007199254740991.0,
                          9007199254740992.0,
                          18446744073709.551,
                          18446744073709551616.0,
                          -1e15 - 0.3,
                          max,
                          inf,
                          std::numeric_limits<double>::quiet_NaN()};
  for (const double value : cases) {
    ExpectPrintfText(value);
    ExpectPrintfText(-value);
  }
  // The longest text fits the buffer; components are joined by commas.
  const std::string longest = Printf(-max);
  ExpectText(newChunk("L", "N", -max, -max, -max, -max),
             longest + "," + longest + "," + longest + "," + longest);
  ExpectText(newChunk("L", "N", -max, -1e-300, inf), longest + ",-0.000000,inf");
}

TEST(ValueFormat, RoundingTiesGoToEvenAsPrintfDoes) {
  // k/128 for odd k is an exact tie in the seventh decimal (x.5 millionths).
  for (int k = -513; k <= 513; k += 2) ExpectPrintfText(k / 128.0);
  ExpectText(newChunk("L", "N", 1.0 / 128), "0.007812");
  ExpectText(newChunk("L", "N", 3.0 / 128), "0.023438");
}

TEST(ValueFormat, RandomDoublesAndFloatsMatchPrintf) {
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
