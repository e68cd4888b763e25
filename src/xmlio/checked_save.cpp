#include <corvane/xmlio/checked_save.h>

#include "xmlio/chunk_file_writer.h"

namespace corvane {

bool SaveChunkFile(const CString& path, boost::shared_ptr<IChunk> root) {
  xmlio::ProgressState quiet;
  return xmlio::WriteChunkFile(path, std::move(root), quiet);
}

}  // namespace corvane
