// Face records: their defaults, and face equality (geometry within the global
// tolerance, every other field exact).
#include <corvane/mesh/bin_face_data.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/mesh_sample.h"

namespace {

using namespace corvane_test;

TEST(BinFaceDataTest, DefaultsAndEqualityWithinTheGlobalToleranceForGeometryOnly) {
  const BinFaceData face = SampleFace(4);
  BinFaceData near = face;
  near.points2dB[1].x += 9e-11;
  EXPECT_TRUE(face == near);
  EXPECT_TRUE(BinFaceData() == BinFaceData());
  const BinFaceData none;
  EXPECT_TRUE(none.points3d.empty());
  EXPECT_TRUE(none.indices.empty());
  EXPECT_TRUE(none.points2dA.empty());
  EXPECT_TRUE(none.points2dB.empty());
  EXPECT_TRUE(none.vectors3d.empty());
  EXPECT_TRUE(none.text.IsEmpty());
  EXPECT_EQ(none.number, 0);
  EXPECT_EQ(none.transientValue, 0xFFFFFF);
  EXPECT_EQ(none.factor, 1.0);
  EXPECT_FALSE(none.flagA);
  EXPECT_FALSE(none.flagB);
  EXPECT_FALSE(none.flagC);
  const struct {
    const char* what;
    void (*change)(BinFaceData&);
  } cases[] = {
      {"a point 1.4e-10 away", [](BinFaceData& f) { f.points2dB[1].x += 1.4e-10; }},
      {"factor by one ulp", [](BinFaceData& f) { f.factor = std::nextafter(f.factor, 10.0); }},
      {"index", [](BinFaceData& f) { f.indices[2] += 1; }},
      {"text case", [](BinFaceData& f) { f.text = "\xD6\xD0 FACE"; }},
      {"transientValue", [](BinFaceData& f) { f.transientValue = 5; }},
      {"flagB", [](BinFaceData& f) { f.flagB = !f.flagB; }},
      {"points3d longer", [](BinFaceData& f) { f.points3d.emplace_back(); }},
      {"vectors3d longer", [](BinFaceData& f) { f.vectors3d.emplace_back(); }},
  };
  for (const auto& c : cases) {
    BinFaceData other = face;
    c.change(other);
    EXPECT_FALSE(face == other) << c.what;
    EXPECT_FALSE(other == face) << c.what;
  }
  near.factor = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(near == near) << "a NaN factor is unequal even to itself";
}

}  // namespace
