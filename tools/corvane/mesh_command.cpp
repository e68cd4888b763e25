#include <corvane/mesh/mesh_archive.h>
#include <corvane/mesh/mesh_bin.h>
#include <corvane/platform/afx_archive.h>
#include <corvane/platform/afx_exception.h>
#include <corvane/platform/afx_file.h>

#include <cstdio>
#include <string>
#include <vector>

#include "corvane/commands.h"
#include "corvane/json_mesh_writer.h"
#include "corvane/json_output.h"
#include "corvane/mesh_summary.h"
#include "corvane/terminal.h"

namespace corvane {
namespace tool {

const char kMeshUsage[] =
    "usage: corvane mesh FILE.bin [--obj OUT.obj] [--json OUT.json]\n"
    "\n"
    "Counts the meshes, faces, points and indices of a binary mesh file, per\n"
    "mesh and in total. With --obj, also writes every face as one polygon\n"
    "through its 3D points, one group a mesh, for any 3D viewer. With --json,\n"
    "also writes every mesh with all its fields as JSON for scripts (OUT -:\n"
    "standard output, instead of the counts).\n";

namespace {

// Reads mesh by mesh with the library's record reader, so that a damaged
// file can be reported with how far the reading got.
bool ReadMeshes(const std::string& path, std::vector<BinMeshData>& meshes) {
  CFile file;
  if (!file.Open(NarrowPath(path), CFile::modeRead)) {
    std::fprintf(stderr, "corvane: cannot open %s\n", path.c_str());
    return false;
  }
  const long long size = static_cast<long long>(file.GetLength());
  CArchive archive(&file, CArchive::load);
  DWORD count = 0;
  try {
    archive >> count;
    for (DWORD i = 0; i < count; ++i) {
      BinMeshData mesh;
      archive >> mesh;
      meshes.push_back(mesh);
    }
    return true;
  } catch (CException* error) {
    const bool endOfFile =
        dynamic_cast<CArchiveException*>(error) != nullptr &&
        static_cast<CArchiveException*>(error)->m_cause == CArchiveException::endOfFile;
    error->Delete();
    std::fprintf(stderr, "corvane: %s is %s (%lld bytes): ", path.c_str(),
                 endOfFile ? "truncated or corrupt" : "unreadable", size);
    if (meshes.size() == 0 && count == 0) {
      std::fprintf(stderr, "it ends before the mesh count\n");
    } else {
      std::fprintf(stderr,
                   "the header announces %lu meshes; %zu were read whole, "
                   "the data ends inside mesh %zu\n",
                   static_cast<unsigned long>(count), meshes.size(), meshes.size() + 1);
    }
    return false;
  }
}

}  // namespace

int MeshCommand(const Arguments& args) {
  std::string path;
  std::string objPath;
  std::string jsonPath;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--obj" || args[i] == "--json") {
      if (i + 1 >= args.size()) return UsageError(args[i] + " needs a file name", kMeshUsage);
      (args[i] == "--obj" ? objPath : jsonPath) = args[i + 1];
      ++i;
    } else if (path.empty() && args[i].compare(0, 2, "--") != 0) {
      path = args[i];
    } else {
      return UsageError("unexpected argument '" + args[i] + "'", kMeshUsage);
    }
  }
  if (path.empty()) return UsageError("mesh needs a file", kMeshUsage);

  std::vector<BinMeshData> meshes;
  if (!ReadMeshes(path, meshes)) return kExitFailure;
  // Standard output carries the JSON alone when it goes there.
  if (jsonPath != "-") PrintMeshSummary(stdout, meshes);
  if (!objPath.empty()) {
    MeshCounts written;
    std::string error;
    if (!WriteObj(objPath, meshes, &written, error)) {
      std::fprintf(stderr, "corvane: cannot write %s: %s\n", objPath.c_str(), error.c_str());
      return kExitFailure;
    }
    std::printf("wrote %s: %llu groups, %llu vertices, %llu faces\n", objPath.c_str(),
                written.meshes, written.points3d, written.faces);
  }
  if (!jsonPath.empty()) {
    std::string error;
    if (!WriteJsonTo(
            jsonPath, [&](JsonWriter& writer) { WriteMeshJson(writer, meshes); }, error)) {
      std::fprintf(stderr, "corvane: cannot write %s: %s\n", jsonPath.c_str(), error.c_str());
      return kExitFailure;
    }
    if (jsonPath != "-") std::printf("wrote %s: %zu meshes\n", jsonPath.c_str(), meshes.size());
  }
  return kExitOk;
}

}  // namespace tool
}  // namespace corvane
