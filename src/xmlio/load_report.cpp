#include <corvane/xmlio/load_report.h>

#include "xmlio/chunk_file_reader.h"
#include "xmlio/progress_run.h"

namespace corvane {

LoadReport InspectChunkFile(const CString& path, const LeftOutObserver& observer,
                            boost::shared_ptr<IChunk>* tree) {
  xmlio::QuietProgress quiet;
  boost::shared_ptr<IChunk> root;
  LoadReport report;
  xmlio::ReadChunkFile(path, root, quiet.run(), observer, report);
  if (tree != nullptr && report.loads) *tree = std::move(root);
  return report;
}

}  // namespace corvane
