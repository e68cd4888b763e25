// Fuzz target: a binary mesh file loaded through CMeshBin::load. A file that
// loads is saved again, and that file must load back to the same bytes.
// Inputs come from the mesh file mutator, so most of them load completely.
#include <corvane/mesh/mesh_bin.h>
#include <corvane/platform/afx_exception.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvane_fuzz::ScratchFile input(".bin");
  static const corvane_fuzz::ScratchFile saved(".bin");
  corvane_fuzz::Execution execution("the save-and-reload check");
  input.Write(data, size);
  CMeshBin meshes;
  try {
    meshes.load(CString(input.path().c_str()));
  } catch (CException* error) {
    error->Delete();
    return 0;
  }
  // What loaded is narrow text and plain numbers: saving it and loading the
  // result must give back the same file.
  meshes.save(CString(saved.path().c_str()));
  const std::string first = saved.Read();
  CMeshBin reloaded;
  reloaded.load(CString(saved.path().c_str()));
  if (reloaded.meshes.size() != meshes.meshes.size()) std::abort();
  reloaded.save(CString(saved.path().c_str()));
  if (saved.Read() != first) std::abort();
  execution.Reached();
  return 0;
}
