// Fuzz target: XmlFileIO::read with all three progress callbacks installed
// (so the two-pass reader), then the tree written back and read once more.
// The start call must come once, before any position, the end call once, last.
#include <corvane/xmlio/xml_file_io.h>

#include "chunk_file_builder.h"
#include "fuzz_support.h"

namespace {

using corvane_fuzz::Require;

// Counts the progress calls of `io`, which must come in order.
struct ProgressLog {
  explicit ProgressLog(XmlFileIO& io) {
    io.setStartProgressFun([this](CString const&, int low, int high) {
      Require(starts++ == 0 && positions == 0 && low == 0 && high == 100);
      return true;
    });
    io.setSetPosFun([this](int) { Require(starts == 1 && ends == 0 && ++positions > 0); });
    io.SetEndProgressFun([this]() { Require(starts == 1 && ends++ == 0); });
  }
  int starts = 0;
  int ends = 0;
  long long positions = 0;
};

// Reads `path` into a new tree; a run that opened the file ends exactly once.
boost::shared_ptr<IChunk> ReadWithProgress(const CString& path) {
  XmlFileIO io{path};
  ProgressLog log(io);
  boost::shared_ptr<IChunk> root;
  io.read(root);
  Require(log.starts == log.ends);
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvane_fuzz::ScratchFile input(".xml");
  static const corvane_fuzz::ScratchFile copy("_copy.xml");
  corvane_fuzz::Execution execution("the chunk builder");
  input.Write(corvane_fuzz::FileFrom(data, size, &corvane_fuzz::BuildChunkFile));
  boost::shared_ptr<IChunk> root = ReadWithProgress(input.path());
  if (!root) return 0;  // did not load, or its document element was left out
  execution.Reached();
  const std::size_t chunks = corvane_fuzz::Walk(root).chunks;

  // A root without descendants writes nothing and calls nothing, so the
  // copy is emptied first: an old file must not be read back in its place.
  copy.Write("");
  unsigned int descendants = 0;
  root->allNumChild(descendants);
  XmlFileIO writer{copy.path()};
  ProgressLog log(writer);
  writer.save(root);
  Require(log.starts == (descendants != 0 ? 1 : 0) && log.ends <= log.starts);
  root.reset();

  // Labels of text a file cannot hold may not read back: no more chunks than
  // written is what holds for every tree.
  boost::shared_ptr<IChunk> again = ReadWithProgress(copy.path());
  Require(corvane_fuzz::Walk(again).chunks <= chunks);
  return 0;
}
