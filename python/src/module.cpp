#include "bindings.h"

PYBIND11_MODULE(_corvane, module) {
  module.doc() = "Exchange files and mesh files of the Corvane library (see the corvane package).";
  corvane::python::RegisterChunk(module);
  corvane::python::RegisterExchangeFiles(module);
  corvane::python::RegisterMeshFiles(module);
}
