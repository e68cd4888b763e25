// ProgressRun: the progress protocol of one save or read run, over the
// ProgressState of the XmlFileIO or FileConvert that runs it.
// Start (only with a start callback installed): the total becomes the given
// count, the start callback is called with the run's message, 0 and 100, and
// the position becomes 0. Step: the position goes up by one; then the
// position callback gets position * 100 / total (32-bit, wrapping) when it
// is installed, the total is not 0 and - for a save - a start callback is
// installed. End: the end callback, when installed. Slots are looked at on
// every call, so a callback that replaces one takes effect at once. An
// exception from a callback passes through. One thread at a time.
#pragma once

#include <corvane/xmlio/progress.h>

namespace corvane {
namespace xmlio {

class ProgressRun {
 public:
  enum class Kind { kSave, kRead };

  ProgressRun(Kind kind, ProgressState& state) : m_kind(kind), m_state(state) {}

  bool HasStart() const { return !m_state.start.empty(); }
  // Whether a start or position call can happen in this run.
  bool MayReport() const {
    return !m_state.start.empty() || (!m_state.position.empty() && m_state.total != 0);
  }
  // The position count, and putting it back after a run that did not happen.
  unsigned int Position() const { return m_state.positionCount; }
  void RestorePosition(unsigned int position) { m_state.positionCount = position; }
  void Start(unsigned int total);
  void Step() {
    ++m_state.positionCount;
    if (m_state.position.empty() || m_state.total == 0 ||
        (m_kind == Kind::kSave && m_state.start.empty()))
      return;
    m_state.position(static_cast<int>(m_state.positionCount * 100u / m_state.total));
  }
  void End() {
    if (!m_state.end.empty()) m_state.end();
  }

 private:
  Kind m_kind;
  ProgressState& m_state;
};

}  // namespace xmlio
}  // namespace corvane
