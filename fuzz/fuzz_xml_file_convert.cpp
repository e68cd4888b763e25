// Fuzz target: an exchange file loaded the way a host loads one, through
// FileConvert in read mode, then every section and chunk of the tree read.
#include <corvane/xmlio/file_convert.h>

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvane_fuzz::ScratchFile input(".xml");
  input.Write(data, size);
  FileConvert document;
  document.SetPath(CString(input.path().c_str()), true);
  corvane_fuzz::WalkTree(document.GetRoot());
  // Sections are found by label whatever the tree holds.
  document.GetSysVar();
  document.GetLayers();
  document.GetEnvironment();
  document.GetMaterials();
  document.GetMeshs();
  document.GetGroups();
  document.GetEntitys();
  return 0;
}
