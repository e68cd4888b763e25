// Fuzz target: an exchange file loaded the way a host loads one, through
// FileConvert in read mode (no callbacks: the reader's single pass), every
// section and chunk of the tree read; then the same file through
// InspectChunkFile (an observer: the two-pass reader), which must agree on
// whether the file loads and on the tree, and account for every element it
// leaves out. Inputs are built chunk files most of the time
// (chunk_file_builder.h).
#include <corvane/xmlio/file_convert.h>
#include <corvane/xmlio/load_report.h>

#include <boost/shared_ptr.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "chunk_file_builder.h"
#include "fuzz_support.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

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
  const std::size_t chunks = loads ? corvane_fuzz::WalkTree(root) : 0;
  // Sections are found by label whatever the tree holds.
  document.GetSysVar();
  document.GetLayers();
  document.GetEnvironment();
  document.GetMaterials();
  document.GetMeshs();
  document.GetGroups();
  document.GetEntitys();

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
  Require(observed == report.leftOut);
  Require(chunks + report.leftOut == report.elements);
  Require(corvane_fuzz::SameTree(root, inspected));
  return 0;
}
