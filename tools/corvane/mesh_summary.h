// Counting and exporting mesh lists, shared by `mesh` and `demo`.
#pragma once

#include <corvane/mesh/bin_mesh_data.h>

#include <cstdio>
#include <string>
#include <vector>

namespace corvane {
namespace tool {

struct MeshCounts {
  unsigned long long meshes = 0, faces = 0, points3d = 0, points2d = 0, vectors = 0, indices = 0;
  void Add(const MeshCounts& other);
};

MeshCounts CountMesh(const BinMeshData& mesh);
// One line a mesh, then the totals.
void PrintMeshSummary(std::FILE* out, const std::vector<BinMeshData>& meshes);
// Wavefront OBJ: one group a mesh, each face one polygon through its 3D
// points in order, given the library's save ("-": standard output). False,
// with the reason in `error` and an existing file as it was, when the file
// cannot be written.
bool WriteObj(const std::string& path, const std::vector<BinMeshData>& meshes, MeshCounts* written,
              std::string& error);

}  // namespace tool
}  // namespace corvane
