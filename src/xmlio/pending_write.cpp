#include "xmlio/pending_write.h"

#include "xmlio/chunk_file_writer.h"

namespace corvane {
namespace xmlio {

void PendingWrite::LeaveWriting(ProgressState& progress) {
  if (--m_holders > 0) return;
  try {
    WriteChunkFile(m_path, m_root, progress);
  } catch (...) {
    // Raised by a host's callback inside a destructor: the write is abandoned
    // and the file keeps its previous contents.
  }
}

}  // namespace xmlio
}  // namespace corvane
