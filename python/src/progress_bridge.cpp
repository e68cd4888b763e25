#include "progress_bridge.h"

namespace corvane {
namespace python {

namespace py = pybind11;

ProgressBridge::ProgressBridge(py::object callable) : m_callable(std::move(callable)) {
  if (Active() && !PyCallable_Check(m_callable.ptr()))
    throw py::type_error("progress must be callable");
}

StartProgressFun ProgressBridge::Start() {
  return [this](CString const&, int, int) {
    Call(0);
    return true;
  };
}

SetPosFun ProgressBridge::Position() {
  return [this](int position) { Call(position); };
}

void ProgressBridge::Call(int position) {
  py::gil_scoped_acquire gil;
  try {
    m_callable(position, 100);
  } catch (py::error_already_set& raised) {
    m_raised = std::make_shared<py::error_already_set>(std::move(raised));
    throw ProgressStopped();
  }
}

void ProgressBridge::RaiseIfStopped() {
  if (!m_raised) return;
  std::shared_ptr<py::error_already_set> raised = std::move(m_raised);
  raised->restore();
  throw py::error_already_set();
}

}  // namespace python
}  // namespace corvane
