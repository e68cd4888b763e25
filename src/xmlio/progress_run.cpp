#include "xmlio/progress_run.h"

#include <corvane/platform/cstring.h>

namespace corvane {
namespace xmlio {
namespace {

// "Saving XML file..." and "Reading XML file..." in code page 936.
const char kSaveMessage[] = "\xD5\xFD\xD4\xDA\xB1\xA3\xB4\xE6XML\xCE\xC4\xBC\xFE...";
const char kReadMessage[] = "\xD5\xFD\xD4\xDA\xB6\xC1\xC8\xA1XML\xCE\xC4\xBC\xFE...";

}  // namespace

void ProgressRun::Start(unsigned int total) {
  if (m_state.start.empty()) return;
  m_state.total = total;
  m_state.start(CString(m_kind == Kind::kSave ? kSaveMessage : kReadMessage), 0, 100);
  m_state.positionCount = 0;
}

}  // namespace xmlio
}  // namespace corvane
