// Hostile vector values: a "double2" or "float4" value made of hundreds of
// thousands of separators is refused without building a token per separator,
// so its cost stays near the size of the text itself.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "chunk/value_parse.h"
#include "support/allocation_meter.h"

namespace {

using corvane::chunk::ChunkFromElement;
using corvane::chunk::DropReason;
using corvane_test::AllocationMeter;

DropReason Refusal(const char* type, const CString& value, std::size_t* peak) {
  DropReason reason = DropReason::kNone;
  AllocationMeter meter;
  const boost::shared_ptr<IChunk> chunk =
      ChunkFromElement(CString("Var"), CString("N"), CString(type), value, &reason);
  *peak = meter.PeakAboveStart();
  EXPECT_FALSE(chunk);
  return reason;
}

TEST(VectorValueRegression, HalfAMillionSeparatorsAreRefusedCheaply) {
  const std::string commas(500000, ',');
  const std::string mixed = [] {
    std::string text;
    for (int i = 0; i < 125000; ++i) text += "1|\xA3\xAC";
    return text;
  }();
  for (const std::string* text : {&commas, &mixed}) {
    const CString value(text->data(), static_cast<int>(text->size()));
    for (const char* type : {"double2", "float4"}) {
      const auto start = std::chrono::steady_clock::now();
      std::size_t peak = 0;
      EXPECT_EQ(Refusal(type, value, &peak), DropReason::kWrongComponentCount) << type;
      // Before the fix every separator made a 16-byte token: 8 MB here.
      EXPECT_LT(peak, 64u * 1024u) << type;
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    }
  }
}

}  // namespace
