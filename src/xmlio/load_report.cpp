#include <corvane/xmlio/load_report.h>

#include "chunk/value_parse.h"
#include "platform/readable_file.h"
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

bool ChunkFileOpens(const CString& path, std::string* reason) {
  platform::ReadableFile file;
  if (file.Open(path)) return true;
  if (reason != nullptr) *reason = xmlio::kUnreadableFile;
  return false;
}

boost::shared_ptr<IChunk> ChunkFromTexts(const CString& label, const CString& name,
                                         const CString& type, const CString& value,
                                         std::string* reason) {
  static const CString kEmptyLabelStandIn("att");
  chunk::DropReason why = chunk::DropReason::kNone;
  boost::shared_ptr<IChunk> chunk = chunk::ChunkFromElement(
      label.IsEmpty() ? kEmptyLabelStandIn : label, name, type, value, &why);
  if (!chunk && reason != nullptr) *reason = chunk::DropReasonText(why);
  return chunk;
}

}  // namespace corvane
