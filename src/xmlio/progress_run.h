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
      : kind_(kind),
        start_(start),
        position_(position),
        end_(end),
        positionCount_(positionCount),
        total_(total) {}

  bool HasStart() const { return !start_.empty(); }
  // Whether a start or position call can happen in this run.
  bool MayReport() const { return !start_.empty() || (!position_.empty() && total_ != 0); }
  // The position count, and putting it back after a run that did not happen.
  unsigned int Position() const { return positionCount_; }
  void RestorePosition(unsigned int position) { positionCount_ = position; }
  void Start(unsigned int total);
  void Step() {
    ++positionCount_;
    if (position_.empty() || total_ == 0 || (kind_ == Kind::kSave && start_.empty())) return;
    position_(static_cast<int>(positionCount_ * 100u / total_));
  }
  void End() {
    if (!end_.empty()) end_();
  }

 private:
  Kind kind_;
  const StartProgressFun& start_;
  const SetPosFun& position_;
  const EndProgressFun& end_;
  unsigned int& positionCount_;
  unsigned int& total_;
};

// A run that reports to nobody, for walks no host watches.
class QuietProgress {
 public:
  QuietProgress() : run_(ProgressRun::Kind::kRead, start_, position_, end_, count_, total_) {}
  QuietProgress(const QuietProgress&) = delete;
  QuietProgress& operator=(const QuietProgress&) = delete;
  ProgressRun& run() { return run_; }

 private:
  StartProgressFun start_;
  SetPosFun position_;
  EndProgressFun end_;
  unsigned int count_ = 0;
  unsigned int total_ = 0;
  ProgressRun run_;
};

}  // namespace xmlio
}  // namespace corvane
