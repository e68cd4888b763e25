// CMeshBin: a list of meshes saved to and loaded from a binary mesh file.
// A path that cannot be opened makes save and load return quietly. Other
// failures reach the caller as the archive's and file's heap exceptions
// (release them with Delete()): a failed save throws CFileException* naming
// `path` and leaves the previous file as a failed save leaves it (see the
// README: untouched wherever it can be replaced safely), a failed load leaves
// `meshes` partly read. One thread at a time.
#pragma once

#include <corvane/export.h>
#include <corvane/mesh/bin_mesh_data.h>
#include <corvane/platform/afx_exception.h>
#include <corvane/platform/cstring.h>

#include <vector>

class CORVANE_API CMeshBin {
 public:
  CMeshBin();
  CMeshBin(const CMeshBin& other);
  CMeshBin& operator=(const CMeshBin& other);
  ~CMeshBin();

  // Writes `meshes` to `path` as opening it to create or truncate would,
  // but through a temporary that replaces the file only when complete
  // wherever the file allows that.
  void save(const CString& path);
  // Reads the file at `path` into `meshes` by the resize rule; bytes after
  // the last mesh are ignored.
  void load(const CString& path);

  std::vector<BinMeshData> meshes;
};
