#include "xmlio/pending_write.h"

#include <corvane/xmlio/xml_file_io.h>

namespace corvane {
namespace xmlio {

void PendingWrite::LeaveWriting(const StartProgressFun& start, const SetPosFun& position,
                                const EndProgressFun& end) {
  if (--m_holders > 0 || m_path.IsEmpty()) return;
  XmlFileIO writer(m_path);
  writer.setStartProgressFun(start);
  writer.setSetPosFun(position);
  writer.SetEndProgressFun(end);
  try {
    writer.save(m_root);
  } catch (...) {
    // Raised by a host's callback inside a destructor: the write is abandoned
    // and the file keeps its previous contents.
  }
}

}  // namespace xmlio
}  // namespace corvane
