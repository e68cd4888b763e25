#include <corvane/xmlio/load_report.h>

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

}  // namespace corvane
