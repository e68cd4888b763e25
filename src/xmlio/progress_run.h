// ProgressRun: the progress protocol of one save or read run, over the host's
// three callbacks and the two counters an XmlFileIO keeps between runs.
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

  ProgressRun(Kind kind, const StartProgressFun& start, const SetPosFun& position,
              const EndProgressFun& end, unsigned int& positionCount, unsigned int& total)
      : m_kind(kind),
        m_start(start),
        m_position(position),
        m_end(end),
        m_positionCount(positionCount),
        m_total(total) {}

  bool HasStart() const { return !m_start.empty(); }
  // Whether a start or position call can happen in this run.
  bool MayReport() const { return !m_start.empty() || (!m_position.empty() && m_total != 0); }
  // The position count, and putting it back after a run that did not happen.
  unsigned int Position() const { return m_positionCount; }
  void RestorePosition(unsigned int position) { m_positionCount = position; }
  void Start(unsigned int total);
  void Step() {
    ++m_positionCount;
    if (m_position.empty() || m_total == 0 || (m_kind == Kind::kSave && m_start.empty())) return;
    m_position(static_cast<int>(m_positionCount * 100u / m_total));
  }
  void End() {
    if (!m_end.empty()) m_end();
  }

 private:
  Kind m_kind;
  const StartProgressFun& m_start;
  const SetPosFun& m_position;
  const EndProgressFun& m_end;
  unsigned int& m_positionCount;
  unsigned int& m_total;
};

// A run that reports to nobody, for walks no host watches.
class QuietProgress {
 public:
  QuietProgress() : m_run(ProgressRun::Kind::kRead, m_start, m_position, m_end, m_count, m_total) {}
  QuietProgress(const QuietProgress&) = delete;
  QuietProgress& operator=(const QuietProgress&) = delete;
  ProgressRun& run() { return m_run; }

 private:
  StartProgressFun m_start;
  SetPosFun m_position;
  EndProgressFun m_end;
  unsigned int m_count = 0;
  unsigned int m_total = 0;
  ProgressRun m_run;
};

}  // namespace xmlio
}  // namespace corvane
