// The pieces of the _corvane extension module, each registering its names
// on the module, and the holder that lets Python objects share chunks with
// the library (boost::shared_ptr, as the library's trees hold them).
#pragma once

#include <corvane/chunk/ichunk.h>
#include <pybind11/pybind11.h>

#include <boost/shared_ptr.hpp>

PYBIND11_DECLARE_HOLDER_TYPE(T, boost::shared_ptr<T>)

namespace corvane {
namespace python {

namespace py = pybind11;
using ChunkPtr = boost::shared_ptr<IChunk>;

void RegisterChunk(py::module_& module);
void RegisterExchangeFiles(py::module_& module);
void RegisterMeshFiles(py::module_& module);

}  // namespace python
}  // namespace corvane
