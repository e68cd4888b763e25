// Face and mesh records: defaults, deep copies, and face equality (geometry
// within the global tolerance, every other field exact, in any list
// position).
#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "mesh/mesh_sample.h"

namespace {

using corvane_test::SampleFace;
using corvane_test::SampleMesh;

TEST(BinFaceDataTest, DefaultsAndDefaultFacesAreEqual) {
  const BinFaceData face;
  EXPECT_TRUE(face.points3d.empty() && face.indices.empty() && face.points2dA.empty() &&
              face.points2dB.empty() && face.vectors3d.empty() && face.text.IsEmpty());
  EXPECT_EQ(face.number, 0);
  EXPECT_EQ(face.transientValue, 16777215);
  EXPECT_FALSE(face.flagA || face.flagB || face.flagC);
  EXPECT_EQ(face.factor, 1.0);
  EXPECT_TRUE(BinFaceData() == BinFaceData());
  const BinMeshData mesh;
  EXPECT_EQ(mesh.number, 0);
  EXPECT_TRUE(mesh.name.IsEmpty() && mesh.faces.empty() && mesh.indices.empty());
}

TEST(BinFaceDataTest, GeometryComparesWithinTheGlobalTolerance) {
  const BinFaceData face = SampleFace(3);
  BinFaceData near = face;
  near.points3d[0].x += 5e-11;
  near.points2dA[0].y -= 5e-11;
  near.points2dB[1].x += 9e-11;
  near.vectors3d[0].z += 9e-11;
  EXPECT_TRUE(face == near);
  near.points2dB[1].x += 5e-11;  // now 1.4e-10 away
  EXPECT_FALSE(face == near);
}

TEST(BinFaceDataTest, EveryOtherFieldComparesExactly) {
  const BinFaceData face = SampleFace(4);
  auto differs = [&](void (*change)(BinFaceData&)) {
    BinFaceData other = face;
    change(other);
    return !(face == other) && !(other == face);
  };
  EXPECT_TRUE(differs([](BinFaceData& f) { f.factor = std::nextafter(f.factor, 10.0); }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.indices[2] += 1; }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.text = "\xD6\xD0 FACE"; }));  // case counts
  EXPECT_TRUE(differs([](BinFaceData& f) { f.number += 1; }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.transientValue = 5; }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.flagA = !f.flagA; }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.flagB = !f.flagB; }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.flagC = !f.flagC; }));
}

TEST(BinFaceDataTest, PrefixListsAreUnequal) {
  const BinFaceData face = SampleFace(5);
  auto differs = [&](void (*change)(BinFaceData&)) {
    BinFaceData longer = face;
    change(longer);
    return !(face == longer) && !(longer == face);
  };
  EXPECT_TRUE(differs([](BinFaceData& f) { f.points3d.push_back(AcGePoint3d()); }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.indices.push_back(0); }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.points2dA.push_back(AcGePoint2d()); }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.points2dB.push_back(AcGePoint2d()); }));
  EXPECT_TRUE(differs([](BinFaceData& f) { f.vectors3d.push_back(AcGeVector3d()); }));
}

TEST(BinFaceDataTest, NaNMakesAFaceUnequalToItself) {
  BinFaceData face = SampleFace(6);
  face.factor = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(face == face);
  BinFaceData point = SampleFace(6);
  point.points3d[1].y = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(point == point);
}

TEST(BinFaceDataTest, CopiesAreDeepAndEqual) {
  BinFaceData face = SampleFace(7);
  BinFaceData copy(face);
  BinFaceData assigned;
  assigned = face;
  EXPECT_TRUE(copy == face);
  EXPECT_TRUE(assigned == face);
  copy.points3d[0].x = 99;
  copy.text = "changed";
  EXPECT_EQ(face.points3d[0].x, 7.0);
  EXPECT_TRUE(face.text == "\xD6\xD0 face");

  const BinMeshData mesh = SampleMesh(2, 3);
  BinMeshData meshCopy(mesh);
  BinMeshData meshAssigned;
  meshAssigned = mesh;
  for (const BinMeshData* other : {&meshCopy, &meshAssigned}) {
    EXPECT_EQ(other->number, 2);
    EXPECT_TRUE(other->name == "mesh-2");
    EXPECT_EQ(other->indices, mesh.indices);
    ASSERT_EQ(other->faces.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(other->faces[i] == mesh.faces[i]);
  }
  meshCopy.faces[0].number = -1;
  EXPECT_EQ(mesh.faces[0].number, 20 + 1000);
}

}  // namespace
