#include <corvane/mesh/mesh_bin.h>

#include <atomic>

#include <unistd.h>

#include <corvane/platform/afx_archive.h>
#include <corvane/platform/afx_file.h>

#include "mesh/record_io.h"

namespace {

// The archive buffer of the mesh file.
constexpr int kArchiveBufferSize = 1 << 16;

// A name beside the target, unique within this process and among processes.
CString TemporaryPathBeside(const CString& path) {
  static std::atomic<unsigned> counter{0};
  CString temporary;
  temporary.Format("%s.~%ld.%u.tmp", path.GetString(), static_cast<long>(::getpid()),
                   counter.fetch_add(1, std::memory_order_relaxed));
  return temporary;
}

void RemoveQuietly(const CString& path) noexcept {
  try {
    CFile::Remove(path);
  } catch (CException* error) {
    error->Delete();
  }
}

}  // namespace

CMeshBin::CMeshBin() = default;
CMeshBin::CMeshBin(const CMeshBin& other) = default;
CMeshBin& CMeshBin::operator=(const CMeshBin& other) = default;
CMeshBin::~CMeshBin() = default;

void CMeshBin::save(const CString& path) {
  if (path.IsEmpty()) return;
  // The list goes to a file of its own first, so that the previous file
  // survives any failure part-way.
  const CString temporary = TemporaryPathBeside(path);
  CFile file;
  if (!file.Open(temporary, CFile::modeCreate | CFile::modeWrite)) return;
  CArchive ar(&file, CArchive::store, kArchiveBufferSize);
  try {
    corvane::mesh::RecordWriter write(ar);
    write(meshes);
    ar.Close();
    file.Flush();
    file.Close();
  } catch (...) {
    ar.Abort();
    file.Abort();
    RemoveQuietly(temporary);
    throw;
  }
  // A target that cannot be replaced (a directory, say) counts as a path
  // that cannot be opened: quiet, and nothing left behind.
  try {
    CFile::Rename(temporary, path);
  } catch (CException* error) {
    error->Delete();
    RemoveQuietly(temporary);
  }
}

void CMeshBin::load(const CString& path) {
  CFile file;
  if (!file.Open(path, CFile::modeRead)) return;
  CArchive ar(&file, CArchive::load, kArchiveBufferSize);
  corvane::mesh::RecordReader read(ar);
  read(meshes);
  ar.Close();
  file.Close();
}
