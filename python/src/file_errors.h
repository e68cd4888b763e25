// OSError for files the library did not read or write. The library's quiet
// failures carry no cause, so the cause is the failed call's errno when it
// left one, else why the path does not open for reading by the library's own
// file (no such file or folder, a folder), else EIO. GIL held.
#pragma once

#include <corvane/platform/cstring.h>
#include <pybind11/pybind11.h>

namespace corvane {
namespace python {

// Why `path` does not open for reading, by the library's CFile: 0 when it opens.
long OpenError(const CString& path);
[[noreturn]] void RaiseFileError(long error, const CString& path, pybind11::handle pathObject);

}  // namespace python
}  // namespace corvane
