// A Python progress callable behind the library's three progress callbacks:
// the library calls them with the GIL released, so each call takes the GIL
// back for the callable. The callable gets (position, total) = (percent,
// 100): (0, 100) at the start, then each new position. An exception raised
// in it stops the run: it passes through the library (whose runs stop on a
// callback's exception, releasing what they built) as ProgressStopped, and
// RaiseIfStopped raises it again once the caller holds the GIL.
#pragma once

#include <corvane/xmlio/progress.h>
#include <pybind11/pybind11.h>

#include <exception>
#include <memory>

namespace corvane {
namespace python {

struct ProgressStopped : std::exception {
  const char* what() const noexcept override { return "the progress callback raised"; }
};

class ProgressBridge {
 public:
  explicit ProgressBridge(pybind11::object callable);  // None: no progress
  bool Active() const { return !m_callable.is_none(); }
  StartProgressFun Start();
  SetPosFun Position();
  // Raises the callable's exception when it stopped the run. GIL held.
  void RaiseIfStopped();

 private:
  void Call(int position);

  pybind11::object m_callable;
  std::shared_ptr<pybind11::error_already_set> m_raised;
};

}  // namespace python
}  // namespace corvane
