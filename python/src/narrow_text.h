// Python text and the library's narrow text (code page 936). Python to
// narrow is exact or refused: a character code page 936 cannot hold, or a
// NUL, raises ValueError naming `what`; anything but str raises TypeError.
// Narrow to Python never fails (bytes invalid in the code page become
// U+FFFD). Plain ASCII is copied without converting. Callers hold the GIL.
#pragma once

#include <corvane/platform/cstring.h>
#include <pybind11/pybind11.h>

#include <cstddef>

namespace corvane {
namespace python {

CString NarrowFromPython(pybind11::handle text, const char* what);
// A str or an os.PathLike naming a file.
CString NarrowPath(pybind11::handle path);
pybind11::str PythonFromNarrow(const char* bytes, std::size_t length);
inline pybind11::str PythonFromNarrow(const CString& text) {
  return PythonFromNarrow(text.GetString(), static_cast<std::size_t>(text.GetLength()));
}

}  // namespace python
}  // namespace corvane
