// The progress messages and the per-chunk step of a save or read run. The
// cursor looks at the XmlFileIO's slots and counters through pointers on
// every step, so a callback that replaces a slot takes effect at once.
// Arithmetic is 32-bit unsigned and wraps; an exception from the position
// callback passes through. One thread at a time.
#pragma once

#include <corvane/xmlio/progress.h>

namespace corvane {
namespace xmlio {

// "Saving XML file..." and "Reading XML file..." in code page 936.
extern const char kSaveMessage[];
extern const char kReadMessage[];

class ProgressCursor {
 public:
  // `requiredStart` is the writer's start slot (position calls are made only
  // while it is installed) or null for the reader.
  ProgressCursor(const StartProgressFun* requiredStart, const SetPosFun* setPos,
                 unsigned int* position, const unsigned int* total)
      : m_requiredStart(requiredStart), m_setPos(setPos), m_position(position), m_total(total) {}

  // Counts one chunk or element, then reports position * 100 / total.
  void Step() {
    ++*m_position;
    if (m_requiredStart != nullptr && m_requiredStart->empty()) return;
    // A zero total never divides: the writer's total is non-zero whenever a
    // start callback ran, and the reader skips the call as the format demands.
    if (m_setPos->empty() || *m_total == 0) return;
    (*m_setPos)(static_cast<int>(*m_position * 100u / *m_total));
  }

 private:
  const StartProgressFun* m_requiredStart;
  const SetPosFun* m_setPos;
  unsigned int* m_position;
  const unsigned int* m_total;
};

}  // namespace xmlio
}  // namespace corvane
