// Fuzz target: an exchange file loaded as a host loads one, through FileConvert
// in read mode (the reader's single pass), every section and chunk read; then
// through InspectChunkFile (the two-pass reader), which must agree on whether
// it loads and on the tree, and account for every element it leaves out.
#include <corvane/extras/load_report.h>
#include <corvane/xmlio/file_convert.h>

#include "chunk_file_builder.h"
#include "fuzz_support.h"

using corvane_fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvane_fuzz::ScratchFile input(".xml");
  corvane_fuzz::Execution execution("the chunk builder");
  input.Write(corvane_fuzz::FileFrom(data, size, &corvane_fuzz::BuildChunkFile));
  const CString path = input.path();

  // A write-mode document without a path holds a tree of its own and writes
  // nothing; a file that does not load leaves that tree in place.
  FileConvert document;
  document.SetPath(CString(), false);
  const boost::shared_ptr<IChunk> blank = document.GetRoot();
  document.SetPath(path, true);
  const boost::shared_ptr<IChunk> root = document.GetRoot();
  const bool loads = root != blank;
  if (loads && root) execution.Reached();
  const corvane_fuzz::Tree tree = loads ? corvane_fuzz::Walk(root) : corvane_fuzz::Tree();
  // Sections are found by label whatever the tree holds.
  using F = FileConvert;
  for (const auto section : {&F::GetSysVar, &F::GetLayers, &F::GetEnvironment, &F::GetMaterials,
                             &F::GetMeshs, &F::GetGroups, &F::GetEntitys})
    (document.*section)();

  unsigned long long observed = 0;
  const auto observer = [&observed](const corvane::LeftOutElement& element) {
    Require(element.line >= 1 && !element.path.empty() && !element.reason.empty());
    observed += 1 + element.elementsInside;
  };
  boost::shared_ptr<IChunk> inspected = blank;
  const corvane::LoadReport report = corvane::InspectChunkFile(path, observer, &inspected);
  Require(report.loads == loads);
  if (!report.loads) {
    Require(!report.failure.empty() && inspected == blank);
    return 0;
  }
  Require(observed == report.leftOut && tree.chunks + report.leftOut == report.elements);
  Require(corvane_fuzz::Walk(inspected).digest == tree.digest);
  return 0;
}
