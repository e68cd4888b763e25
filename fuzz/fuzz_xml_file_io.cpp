// Fuzz target: XmlFileIO::read with all three progress callbacks installed,
// then the tree written back to a file and read once more. The start call
// must come once, before any position, and the end call once, last. The
// reader takes its two-pass road here (a start callback is installed).
// Inputs are built chunk files most of the time (chunk_file_builder.h).
#include <corvane/xmlio/xml_file_io.h>

#include <boost/shared_ptr.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "chunk_file_builder.h"
#include "fuzz_support.h"

namespace {

struct ProgressLog {
  int starts = 0;
  int ends = 0;
  long long positions = 0;
};

void Install(XmlFileIO& io, ProgressLog& log) {
  io.setStartProgressFun([&log](CString const&, int low, int high) {
    if (log.starts != 0 || log.positions != 0 || low != 0 || high != 100) std::abort();
    ++log.starts;
    return true;
  });
  io.setSetPosFun([&log](int) {
    if (log.starts != 1 || log.ends != 0) std::abort();
    ++log.positions;
  });
  io.SetEndProgressFun([&log]() {
    if (log.starts != 1 || log.ends != 0) std::abort();
    ++log.ends;
  });
}

// Reads `path` into a new tree; a run that opened the file ends exactly once.
boost::shared_ptr<IChunk> ReadWithProgress(const CString& path) {
  XmlFileIO io{path};
  ProgressLog log;
  Install(io, log);
  boost::shared_ptr<IChunk> root;
  io.read(root);
  if (log.starts != log.ends) std::abort();
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvane_fuzz::ScratchFile input(".xml");
  static const corvane_fuzz::ScratchFile copy(".xml");
  corvane_fuzz::Execution execution("the chunk builder");
  input.Write(corvane_fuzz::FileFrom(data, size, &corvane_fuzz::BuildChunkFile));
  boost::shared_ptr<IChunk> root = ReadWithProgress(input.path());
  if (!root) return 0;  // did not load, or its document element was left out
  execution.Reached();
  const std::size_t chunks = corvane_fuzz::WalkTree(root);

  // A root without descendants writes nothing and calls nothing, so the
  // copy is emptied first: an old file must not be read back in its place.
  copy.Write("");
  unsigned int descendants = 0;
  root->allNumChild(descendants);
  XmlFileIO writer{copy.path()};
  ProgressLog log;
  Install(writer, log);
  writer.save(root);
  if (log.starts != (descendants != 0 ? 1 : 0) || log.ends > log.starts) std::abort();
  root.reset();

  // A tree that was read once reads back whole when its labels are element
  // names again; labels made of unrepresentable text may not be, so only
  // "no more chunks than written" holds for every input.
  boost::shared_ptr<IChunk> again = ReadWithProgress(copy.path());
  if (corvane_fuzz::WalkTree(again) > chunks) std::abort();
  return 0;
}
