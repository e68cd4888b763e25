#include "file_errors.h"

#include <Python.h>
#include <corvane/platform/afx_exception.h>
#include <corvane/platform/afx_file.h>

#include <cerrno>
#include <cstring>

namespace corvane {
namespace python {

namespace py = pybind11;

long OpenError(const CString& path) {
  CFile file;
  CFileException error(CFileException::none, -1, nullptr);
  if (file.Open(path, CFile::modeRead, &error)) return 0;
  return error.m_lOsError > 0 ? error.m_lOsError : EIO;
}

void RaiseFileError(long error, const CString& path, py::handle pathObject) {
  if (error <= 0) error = OpenError(path);
  if (error <= 0) error = EIO;
  PyErr_SetObject(PyExc_OSError,
                  py::make_tuple(error, std::strerror(static_cast<int>(error)), pathObject).ptr());
  throw py::error_already_set();
}

}  // namespace python
}  // namespace corvane
