#include "narrow_text.h"

#include <Python.h>
#include <corvane/stream/xmlop.h>

#include <algorithm>
#include <string>

namespace corvane {
namespace python {

namespace py = pybind11;

namespace {

py::str Steal(PyObject* text) {
  if (text == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

}  // namespace

CString NarrowFromPython(py::handle text, const char* what) {
  if (!PyUnicode_Check(text.ptr())) {
    throw py::type_error(std::string(what) + " must be str, not " + Py_TYPE(text.ptr())->tp_name);
  }
  Py_ssize_t length = 0;
  const char* utf8 = PyUnicode_AsUTF8AndSize(text.ptr(), &length);
  if (utf8 == nullptr) throw py::error_already_set();
  if (std::find(utf8, utf8 + length, '\0') != utf8 + length) {
    throw py::value_error(std::string(what) + " holds a NUL character");
  }
  if (PyUnicode_IS_ASCII(text.ptr())) return CString(utf8, static_cast<int>(length));
  Py_ssize_t wideLength = 0;
  wchar_t* wide = PyUnicode_AsWideCharString(text.ptr(), &wideLength);
  if (wide == nullptr) throw py::error_already_set();
  const std::wstring original(wide, static_cast<std::size_t>(wideLength));
  PyMem_Free(wide);
  CString narrow = XmlOp::wstring2CString(original);
  // A character the code page cannot hold comes back as something else.
  if (XmlOp::CString2wstring(narrow) != original) {
    throw py::value_error(std::string(what) + " " + py::repr(text).cast<std::string>() +
                          " holds a character that code page 936 cannot hold");
  }
  return narrow;
}

CString NarrowPath(py::handle path) {
  py::object text = py::module_::import("os").attr("fspath")(path);
  if (!PyUnicode_Check(text.ptr()))
    throw py::type_error("a path must be str or os.PathLike of str");
  return NarrowFromPython(text, "the path");
}

py::str PythonFromNarrow(const char* bytes, std::size_t length) {
  if (std::all_of(bytes, bytes + length, [](char c) { return (c & 0x80) == 0; })) {
    return Steal(PyUnicode_DecodeASCII(bytes, static_cast<Py_ssize_t>(length), nullptr));
  }
  const std::wstring wide = XmlOp::CString2wstring(CString(bytes, static_cast<int>(length)));
  return Steal(PyUnicode_FromWideChar(wide.data(), static_cast<Py_ssize_t>(wide.size())));
}

}  // namespace python
}  // namespace corvane
