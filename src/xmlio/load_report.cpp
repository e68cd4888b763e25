#include <corvane/extras/load_report.h>

#include "platform/readable_file.h"
#include "xmlio/chunk_file_reader.h"

namespace corvane {

LoadReport InspectChunkFile(const CString& path, const LeftOutObserver& observer,
                            boost::shared_ptr<IChunk>* tree) {
  xmlio::ProgressState quiet;
  boost::shared_ptr<IChunk> root;
  const LoadReport report = xmlio::ReadChunkFile(path, root, quiet, observer);
  if (tree != nullptr && report.loads) *tree = std::move(root);
  return report;
}

bool ChunkFileOpens(const CString& path, std::string* reason) {
  platform::ReadableFile file;
  if (file.Open(path)) return true;
  if (reason != nullptr) *reason = xmlio::kUnreadableFile;
  return false;
}

}  // namespace corvane
