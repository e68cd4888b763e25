#include <corvane/mesh/mesh_bin.h>
#include <corvane/platform/afx_archive.h>
#include <corvane/platform/afx_file.h>

#include "mesh/record_io.h"
#include "platform/file_replacement.h"

namespace {

// The archive buffer of the mesh file.
constexpr int kArchiveBufferSize = 1 << 16;

// The archive's file while saving: what it writes goes into the save, which
// keeps a failure for its commit.
class SaveFile : public CFile {
 public:
  explicit SaveFile(corvane::platform::FileReplacement& save) : m_save(save) {}
  void Write(const void* buffer, UINT count) override { m_save.Write(buffer, count); }

 private:
  corvane::platform::FileReplacement& m_save;
};

}  // namespace

CMeshBin::CMeshBin() = default;
CMeshBin::CMeshBin(const CMeshBin& other) = default;
CMeshBin& CMeshBin::operator=(const CMeshBin& other) = default;
CMeshBin::~CMeshBin() = default;

void CMeshBin::save(const CString& path) {
  corvane::platform::FileReplacement save(path);
  if (!save.Open()) return;  // as a file that cannot be opened: quiet
  SaveFile file(save);
  {
    CArchive ar(&file, CArchive::store, kArchiveBufferSize);
    corvane::mesh::RecordWriter write(ar);
    write(meshes);  // an exception abandons the save: the old file stays
    ar.Close();
  }
  if (!save.Commit()) {
    AfxThrowFileException(CFileException::OsErrorToException(save.Error()), save.Error(), path);
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
