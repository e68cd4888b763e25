#include <corvane/xmlio/checked_save.h>

#include "xmlio/chunk_file_writer.h"
#include "xmlio/progress_run.h"

namespace corvane {

bool SaveChunkFile(const CString& path, boost::shared_ptr<IChunk> root) {
  if (path.IsEmpty() || !root) return false;
  xmlio::QuietProgress quiet;
  return xmlio::WriteChunkFile(path, std::move(root), quiet.run());
}

}  // namespace corvane
