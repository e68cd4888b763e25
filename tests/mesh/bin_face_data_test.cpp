// Face and mesh records: defaults, deep copies, and face equality (geometry
// within the global tolerance, every other field exact).
#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/mesh_sample.h"

namespace {

using namespace corvane_test;

TEST(BinFaceDataTest, DefaultsAndDeepCopies) {
  const BinFaceData face;
  EXPECT_TRUE(face.points3d.empty() && face.indices.empty() && face.points2dA.empty() &&
              face.points2dB.empty() && face.vectors3d.empty() && face.text.IsEmpty());
  EXPECT_TRUE(face.number == 0 && face.transientValue == 0xFFFFFF && face.factor == 1.0);
  EXPECT_FALSE(face.flagA || face.flagB || face.flagC);
  const BinMeshData empty;
  EXPECT_TRUE(empty.number == 0 && empty.name.IsEmpty() && empty.faces.empty() &&
              empty.indices.empty());

  BinFaceData sample = SampleFace(7), copy(sample), assigned;
  assigned = sample;
  EXPECT_TRUE(copy == sample && assigned == sample);
  copy.points3d[0].x = 99;
  EXPECT_EQ(sample.points3d[0].x, 7.0);
  const BinMeshData mesh = SampleMesh(2, 3);
  BinMeshData meshAssigned;
  meshAssigned = mesh;
  meshAssigned.faces[2].text = "changed";
  EXPECT_TRUE(meshAssigned.number == 2 && meshAssigned.name == "mesh-2" &&
              meshAssigned.indices == mesh.indices && meshAssigned.faces.size() == 3 &&
              meshAssigned.faces[1] == mesh.faces[1] && mesh.faces[2] == SampleFace(22));
}

TEST(BinFaceDataTest, GeometryComparesWithinTheGlobalToleranceAndAllElseExactly) {
  const BinFaceData face = SampleFace(4);
  BinFaceData near = face;
  near.points2dB[1].x += 9e-11;
  near.vectors3d[0].z += 9e-11;
  EXPECT_TRUE(face == near && BinFaceData() == BinFaceData());
  const struct {
    const char* what;
    void (*change)(BinFaceData&);
  } cases[] = {
      {"a point 1.4e-10 away", [](BinFaceData& f) { f.points2dB[1].x += 1.4e-10; }},
      {"factor by one ulp", [](BinFaceData& f) { f.factor = std::nextafter(f.factor, 10.0); }},
      {"index", [](BinFaceData& f) { f.indices[2] += 1; }},
      {"text case", [](BinFaceData& f) { f.text = "\xD6\xD0 FACE"; }},
      {"number", [](BinFaceData& f) { f.number += 1; }},
      {"transientValue", [](BinFaceData& f) { f.transientValue = 5; }},
      {"flagA", [](BinFaceData& f) { f.flagA = !f.flagA; }},
      {"flagB", [](BinFaceData& f) { f.flagB = !f.flagB; }},
      {"flagC", [](BinFaceData& f) { f.flagC = !f.flagC; }},
      {"points3d longer", [](BinFaceData& f) { f.points3d.emplace_back(); }},
      {"indices longer", [](BinFaceData& f) { f.indices.emplace_back(); }},
      {"points2dA longer", [](BinFaceData& f) { f.points2dA.emplace_back(); }},
      {"points2dB longer", [](BinFaceData& f) { f.points2dB.emplace_back(); }},
      {"vectors3d longer", [](BinFaceData& f) { f.vectors3d.emplace_back(); }},
  };
  for (const auto& c : cases) {
    BinFaceData other = face;
    c.change(other);
    EXPECT_FALSE(face == other || other == face) << c.what;
  }
  near.factor = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(near == near) << "a NaN factor is unequal even to itself";
}

}  // namespace
