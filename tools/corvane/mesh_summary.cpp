#include "corvane/mesh_summary.h"

#include <string>

#include "corvane/output_stream.h"
#include "corvane/terminal.h"

namespace corvane {
namespace tool {

void MeshCounts::Add(const MeshCounts& other) {
  meshes += other.meshes;
  faces += other.faces;
  points3d += other.points3d;
  points2d += other.points2d;
  vectors += other.vectors;
  indices += other.indices;
}

MeshCounts CountMesh(const BinMeshData& mesh) {
  MeshCounts counts;
  counts.meshes = 1;
  counts.faces = mesh.faces.size();
  counts.indices = mesh.indices.size();
  for (const BinFaceData& face : mesh.faces) {
    counts.points3d += face.points3d.size();
    counts.points2d += face.points2dA.size() + face.points2dB.size();
    counts.vectors += face.vectors3d.size();
    counts.indices += face.indices.size();
  }
  return counts;
}

void PrintMeshSummary(std::FILE* out, const std::vector<BinMeshData>& meshes) {
  MeshCounts total;
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const MeshCounts counts = CountMesh(meshes[i]);
    // The name piece by piece: it may be as large as the file.
    std::fprintf(out, "mesh %zu: number %d, name \"", i + 1, meshes[i].number);
    WriteUtf8(out, meshes[i].name);
    std::fprintf(out, "\": %llu faces, %llu points, %llu indices\n", counts.faces, counts.points3d,
                 counts.indices);
    total.Add(counts);
  }
  std::fprintf(out,
               "total: %llu meshes, %llu faces, %llu 3D points, %llu 2D points, "
               "%llu vectors, %llu indices\n",
               total.meshes, total.faces, total.points3d, total.points2d, total.vectors,
               total.indices);
}

bool WriteObj(const std::string& path, const std::vector<BinMeshData>& meshes, MeshCounts* written,
              std::string& error) {
  OutputStream out(path);
  if (!out.Open(error)) return false;
  MeshCounts counts;
  unsigned long long nextVertex = 1;  // OBJ counts vertices from 1 across the file
  out.Print("# written by corvane mesh\n");
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const BinMeshData& mesh = meshes[i];
    const std::string name = Utf8(mesh.name);
    out.Print("g mesh%llu_%d_", static_cast<unsigned long long>(i + 1), mesh.number);
    out.Append(name.data(), name.size());
    out.Put('\n');
    ++counts.meshes;
    for (const BinFaceData& face : mesh.faces) {
      if (face.points3d.size() < 3) continue;  // not a polygon
      for (const AcGePoint3d& point : face.points3d) {
        out.Print("v %.17g %.17g %.17g\n", point.x, point.y, point.z);
      }
      out.Put('f');
      for (std::size_t k = 0; k < face.points3d.size(); ++k) out.Print(" %llu", nextVertex + k);
      out.Put('\n');
      nextVertex += face.points3d.size();
      counts.points3d += face.points3d.size();
      ++counts.faces;
    }
  }
  if (!out.Finish(error)) return false;
  if (written != nullptr) *written = counts;
  return true;
}

}  // namespace tool
}  // namespace corvane
