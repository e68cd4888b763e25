// Hostile vector values: a "double2" or "float4" value made of hundreds of
// thousands of separators was once split into a token per separator before
// the token count was checked. It is refused at a cost that does not grow
// with the number of separators: refusing half a million of them peaks no
// higher than refusing a thousand.
#include <gtest/gtest.h>

#include <string>

#include "chunk/value_parse.h"
#include "support/allocation_meter.h"

namespace {

using corvane::chunk::ChunkFromElement;
using corvane::chunk::DropReason;

// The peak of refusing `value` (made before the meter starts) as `type`.
std::size_t RefusalPeak(const char* type, const std::string& text) {
  const CString value(text.data(), static_cast<int>(text.size()));
  DropReason reason = DropReason::kNone;
  corvane_test::AllocationMeter meter;
  EXPECT_FALSE(ChunkFromElement(CString("Var"), CString("N"), CString(type), value, &reason));
  const std::size_t peak = meter.PeakAboveStart();
  EXPECT_EQ(reason, DropReason::kWrongComponentCount) << type;
  return peak;
}

TEST(VectorValueRegression, SeparatorsAreRefusedAtACostIndependentOfTheirNumber) {
  const auto repeat = [](const std::string& unit, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += unit;
    return text;
  };
  for (const char* type : {"double2", "float4"}) {
    for (const std::string unit : {",", "1|\xA3\xAC"}) {
      const std::size_t few = RefusalPeak(type, repeat(unit, 1000));
      const std::size_t many = RefusalPeak(type, repeat(unit, 500000));
      EXPECT_LE(many, few) << type << " " << unit;
    }
  }
}

}  // namespace
