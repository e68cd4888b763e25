// The reference mesh file of the benchmarks: meshes of 200 faces, each face
// with four 3D points, six indices, four points in each 2D list, one vector
// and a short text, as many meshes as make about `megabytes` on disk. The
// same size always gives the same records.
#pragma once

#include <corvane/corvane.h>

#include <algorithm>
#include <vector>

namespace bench {

inline BinFaceData MakeFace(int seed) {
  BinFaceData face;
  for (int i = 0; i < 4; ++i) face.points3d.emplace_back(seed + i, i * 0.5, -i);
  for (int i = 0; i < 6; ++i) face.indices.push_back(seed + i);
  for (int i = 0; i < 4; ++i) face.points2dA.emplace_back(i, seed * 0.25);
  for (int i = 0; i < 4; ++i) face.points2dB.emplace_back(-i, seed);
  face.vectors3d.emplace_back(0, 0, 1);
  face.text.Format("face%d", seed % 1000);
  face.number = seed;
  face.factor = seed * 0.001;
  face.flagA = seed % 2 == 0;
  return face;
}

inline std::vector<BinMeshData> MakeMeshes(double megabytes) {
  constexpr int kFacesPerMesh = 200;
  constexpr double kBytesPerMesh = kFacesPerMesh * 322.0;  // the face layout above
  const int meshCount = std::max(1, static_cast<int>(megabytes * 1e6 / kBytesPerMesh));
  std::vector<BinMeshData> meshes(static_cast<std::size_t>(meshCount));
  for (int m = 0; m < meshCount; ++m) {
    meshes[m].number = m;
    meshes[m].name.Format("mesh %d", m);
    for (int f = 0; f < kFacesPerMesh; ++f) {
      meshes[m].faces.push_back(MakeFace(m * kFacesPerMesh + f));
    }
    meshes[m].indices.assign(50, m);
  }
  return meshes;
}

}  // namespace bench
