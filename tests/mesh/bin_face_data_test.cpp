// Face and mesh records: defaults, deep copies, and face equality (geometry
// within the global tolerance, every other field exact, in any list
// position).
#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/mesh_sample.h"

namespace {

using namespace corvane_test;

TEST(BinFaceDataTest, DefaultsAndDefaultFacesAreEqual) {
  const BinFaceData face;
  EXPECT_TRUE(face.points3d.empty() && face.indices.empty() && face.points2dA.empty() &&
              face.points2dB.empty() && face.vectors3d.empty() && face.text.IsEmpty());
  EXPECT_TRUE(face.number == 0 && face.transientValue == 16777215 && face.factor == 1.0);
  EXPECT_FALSE(face.flagA || face.flagB || face.flagC);
  EXPECT_TRUE(BinFaceData() == BinFaceData());
  const BinMeshData mesh;
  EXPECT_TRUE(mesh.number == 0 && mesh.name.IsEmpty() && mesh.faces.empty() &&
              mesh.indices.empty());
}

TEST(BinFaceDataTest, GeometryComparesWithinTheGlobalTolerance) {
  const BinFaceData face = SampleFace(3);
  BinFaceData near = face;
  near.points2dB[1].x += 9e-11;
  near.vectors3d[0].z += 9e-11;
  EXPECT_TRUE(face == near);
  near.points2dB[1].x += 5e-11;  // now 1.4e-10 away
  EXPECT_FALSE(face == near);
}

TEST(BinFaceDataTest, AnyOtherDifferenceAndEveryLongerListMakeFacesUnequal) {
  const struct {
    const char* what;
    void (*change)(BinFaceData&);
  } cases[] = {
      {"factor by one ulp", [](BinFaceData& f) { f.factor = std::nextafter(f.factor, 10.0); }},
      {"index", [](BinFaceData& f) { f.indices[2] += 1; }},
      {"text case", [](BinFaceData& f) { f.text = "\xD6\xD0 FACE"; }},
      {"number", [](BinFaceData& f) { f.number += 1; }},
      {"transientValue", [](BinFaceData& f) { f.transientValue = 5; }},
      {"flagA", [](BinFaceData& f) { f.flagA = !f.flagA; }},
      {"flagB", [](BinFaceData& f) { f.flagB = !f.flagB; }},
      {"flagC", [](BinFaceData& f) { f.flagC = !f.flagC; }},
      {"points3d longer", [](BinFaceData& f) { f.points3d.push_back(AcGePoint3d()); }},
      {"indices longer", [](BinFaceData& f) { f.indices.push_back(0); }},
      {"points2dA longer", [](BinFaceData& f) { f.points2dA.push_back(AcGePoint2d()); }},
      {"points2dB longer", [](BinFaceData& f) { f.points2dB.push_back(AcGePoint2d()); }},
      {"vectors3d longer", [](BinFaceData& f) { f.vectors3d.push_back(AcGeVector3d()); }},
  };
  const BinFaceData face = SampleFace(4);
  for (const auto& c : cases) {
    BinFaceData other = face;
    c.change(other);
    EXPECT_FALSE(face == other) << c.what;
    EXPECT_FALSE(other == face) << c.what;
  }
  BinFaceData nanFactor = face;
  nanFactor.factor = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(nanFactor == nanFactor);
}

TEST(BinFaceDataTest, CopiesAreDeepAndEqual) {
  BinFaceData face = SampleFace(7);
  face.transientValue = 5;
  BinFaceData copy(face), assigned;
  assigned = face;
  EXPECT_TRUE(copy == face && assigned == face);
  copy.points3d[0].x = 99;
  EXPECT_EQ(face.points3d[0].x, 7.0);
  const BinMeshData mesh = SampleMesh(2, 3);
  BinMeshData meshAssigned;
  meshAssigned = mesh;
  EXPECT_TRUE(meshAssigned.number == 2 && meshAssigned.name == "mesh-2" &&
              meshAssigned.indices == mesh.indices);
  ASSERT_EQ(meshAssigned.faces.size(), 3u);
  EXPECT_TRUE(meshAssigned.faces[2] == mesh.faces[2]);
}

}  // namespace
