// Test helper: mesh records with every field set to a distinct value.
#pragma once

#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>

namespace corvane_test {

inline BinFaceData SampleFace(int seed) {
  BinFaceData face;
  face.points3d = {AcGePoint3d(seed, 1.5, -2.25), AcGePoint3d(0.1, seed * 0.5, 1e300)};
  face.indices = {seed, -1, 7};
  face.points2dA = {AcGePoint2d(3, seed)};
  face.points2dB = {AcGePoint2d(-seed, 0.125), AcGePoint2d(9, 9)};
  face.vectors3d = {AcGeVector3d(0, 0, seed)};
  face.text = "\xD6\xD0 face";
  face.number = 1000 + seed;
  face.flagA = face.flagC = true;
  face.factor = 0.75 + seed;
  return face;
}

inline BinMeshData SampleMesh(int seed, int faceCount) {
  BinMeshData mesh;
  mesh.number = seed;
  mesh.name.Format("mesh-%d", seed);
  for (int i = 0; i < faceCount; ++i) mesh.faces.push_back(SampleFace(seed * 10 + i));
  mesh.indices = {seed, seed + 1, seed + 2, seed + 3};
  return mesh;
}

}  // namespace corvane_test
