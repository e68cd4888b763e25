#include "corvane/tree_loading.h"

#include "corvane/terminal.h"

namespace corvane {
namespace tool {

void PrintLoadFailure(std::FILE* out, const std::string& path, const LoadReport& report) {
  std::fprintf(out, "%s does not load: %s", path.c_str(), report.failure.c_str());
  if (report.line != 0) std::fprintf(out, " (line %lu, column %lu)", report.line, report.column);
  std::fprintf(out, "\n");
}

bool CheckReadable(const std::string& path) {
  LoadReport report;
  if (ChunkFileOpens(NarrowPath(path), &report.failure)) return true;
  std::fputs("corvane: ", stderr);
  PrintLoadFailure(stderr, path, report);
  return false;
}

bool LoadChunkTree(const std::string& path, boost::shared_ptr<IChunk>& root, bool quiet) {
  const LoadReport report = InspectChunkFile(NarrowPath(path), LeftOutObserver(), &root);
  if (!report.loads) {
    std::fputs("corvane: ", stderr);
    PrintLoadFailure(stderr, path, report);
    return false;
  }
  // Left-out elements are no part of the tree; say so, or they would seem to vanish.
  if (!quiet && report.leftOut > 0) {
    std::fprintf(stderr,
                 "corvane: note: loading %s leaves out %llu of its %llu elements"
                 " (corvane check %s lists them)\n",
                 path.c_str(), report.leftOut, report.elements, path.c_str());
  }
  return true;
}

}  // namespace tool
}  // namespace corvane
