// Exchange files from Python: load, inspect, save and the conversion
// document, with the GIL released while the library reads or writes.
#include <corvane/extras/checked_save.h>
#include <corvane/extras/load_report.h>
#include <corvane/xmlio/file_convert.h>
#include <corvane/xmlio/xml_file_io.h>
#include <pybind11/stl.h>

#include <boost/make_shared.hpp>
#include <cerrno>
#include <string>
#include <vector>

#include "bindings.h"
#include "file_errors.h"
#include "narrow_text.h"
#include "progress_bridge.h"

namespace corvane {
namespace python {
namespace {

// Created with the module and never released: raising needs it until exit.
py::handle g_loadError;

// Runs `work` without the GIL; a progress callable's exception is raised after.
template <typename Work>
void RunReleased(ProgressBridge& progress, Work work) {
  bool stopped = false;
  {
    py::gil_scoped_release released;
    try {
      work();
    } catch (const ProgressStopped&) {
      stopped = true;
    }
  }
  if (stopped) progress.RaiseIfStopped();
}

[[noreturn]] void RaiseLoadError(py::handle path, const std::string& reason, unsigned long line,
                                 unsigned long column) {
  std::string message = py::str(path).cast<std::string>() + ": ";
  if (line != 0)
    message += "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
  py::object error = g_loadError(message + reason);
  error.attr("reason") = reason;
  error.attr("line") = line;
  error.attr("column") = column;
  error.attr("filename") = path;
  PyErr_SetObject(g_loadError.ptr(), error.ptr());
  throw py::error_already_set();
}

// Why the file at `path` gave no tree: it does not load, or loading leaves
// out its document element.
[[noreturn]] void RaiseNoTree(py::handle pathObject, const CString& path) {
  LeftOutElement first;
  bool any = false;
  LoadReport report;
  {
    py::gil_scoped_release released;
    report = InspectChunkFile(path, [&](const LeftOutElement& element) {
      if (!any) first = element;
      any = true;
    });
  }
  if (!report.loads) RaiseLoadError(pathObject, report.failure, report.line, report.column);
  RaiseLoadError(pathObject, "the document element is left out: " + first.reason, first.line, 0);
}

// A file that does not open raises OSError rather than LoadError.
CString OpenablePath(py::handle pathObject) {
  const CString path = NarrowPath(pathObject);
  if (const long error = OpenError(path)) RaiseFileError(error, path, pathObject);
  return path;
}

ChunkPtr Load(py::handle pathObject, py::object callable) {
  const CString path = OpenablePath(pathObject);
  ProgressBridge progress(std::move(callable));
  ChunkPtr root;
  RunReleased(progress, [&] {
    if (progress.Active()) {
      XmlFileIO reader(path);
      reader.setStartProgressFun(progress.Start());
      reader.setSetPosFun(progress.Position());
      reader.read(root);
    } else {
      InspectChunkFile(path, LeftOutObserver(), &root);
    }
  });
  if (!root) RaiseNoTree(pathObject, path);
  return root;
}

struct Inspection {
  LoadReport report;
  std::vector<LeftOutElement> leftOut;
};

Inspection Inspect(py::handle pathObject) {
  const CString path = OpenablePath(pathObject);
  Inspection inspection;
  py::gil_scoped_release released;
  inspection.report = InspectChunkFile(
      path, [&](const LeftOutElement& element) { inspection.leftOut.push_back(element); });
  return inspection;
}

// The library's save consumes the tree it writes: it writes a copy, which
// also keeps Python threads away from the tree it reads without the GIL.
ChunkPtr CopyTree(const ChunkPtr& root) {
  ChunkPtr top = boost::make_shared<IChunk>(*root);
  std::vector<IChunk*> pending{top.get()};
  while (!pending.empty()) {
    IChunk* chunk = pending.back();
    pending.pop_back();
    for (ChunkPtr& child : chunk->children()) {
      if (!child) continue;
      child = boost::make_shared<IChunk>(*child);
      pending.push_back(child.get());
    }
  }
  return top;
}

void Save(const ChunkPtr& root, py::handle pathObject) {
  if (!root) throw py::type_error("save needs a Chunk");
  const CString path = NarrowPath(pathObject);
  ChunkPtr copy = CopyTree(root);
  bool written = false;
  int error = 0;
  {
    py::gil_scoped_release released;
    errno = 0;
    written = SaveChunkFile(path, std::move(copy));
    error = errno;  // the failed call's, SaveChunkFile reports no more
  }
  if (!written) RaiseFileError(error, path, pathObject);
}

// corvane.Document: a FileConvert held by Python. In write mode the file is
// written when the document closes (the end of a with block that raised
// nothing, or close()) with the errors save raises; a with block that raises
// leaves the file alone. A document Python drops unclosed is written as the
// library's document writes on destruction, quietly.
class Document {
 public:
  Document(py::handle pathObject, const std::string& mode, py::object callable)
      : m_pathObject(py::reinterpret_borrow<py::object>(pathObject)),
        m_path(NarrowPath(pathObject)),
        m_write(mode == "w") {
    if (mode != "r" && mode != "w")
      throw py::value_error("mode must be \"r\" or \"w\", not \"" + mode + "\"");
    if (!m_write) OpenablePath(pathObject);
    ProgressBridge progress(std::move(callable));
    if (m_write) {
      if (progress.Active()) throw py::value_error("progress reports loads: mode \"r\" only");
      m_document.SetPath(m_path, false);
      return;
    }
    if (progress.Active()) {
      m_document.setStartProgressFun(progress.Start());
      m_document.setSetPosFun(progress.Position());
    }
    RunReleased(progress, [&] { m_document.SetPath(m_path, true); });
    m_document.setStartProgressFun(StartProgressFun());
    m_document.setSetPosFun(SetPosFun());
    if (!m_document.GetRoot()) RaiseNoTree(pathObject, m_path);
  }

  py::object Section(ChunkPtr (FileConvert::*section)()) {
    if (m_closed) throw py::value_error("the document is closed");
    ChunkPtr chunk = (m_document.*section)();
    return chunk ? py::cast(chunk) : py::none();
  }

  void Close() {
    if (m_closed) return;
    m_closed = true;
    ChunkPtr root = m_document.GetRoot();
    m_document = FileConvert();  // drops the pending write
    if (m_write) Save(root, m_pathObject);
  }

  void Discard() {
    m_closed = true;
    m_document = FileConvert();
  }

  bool Closed() const { return m_closed; }
  bool Writing() const { return m_write; }
  const py::object& Path() const { return m_pathObject; }

 private:
  py::object m_pathObject;
  CString m_path;
  bool m_write;
  bool m_closed = false;
  FileConvert m_document;
};

}  // namespace

void RegisterExchangeFiles(py::module_& module) {
  g_loadError = PyErr_NewExceptionWithDoc(
      "corvane.LoadError",
      "An exchange file that does not load: reason, line and column (from 1; 0 when\n"
      "the failure has no place in the text) and filename.",
      PyExc_Exception, nullptr);
  module.attr("LoadError") = g_loadError;

  module.def("load", &Load, py::arg("path"), py::arg("progress") = py::none(),
             "The root Chunk of the exchange file at path. OSError when it does not open,\n"
             "LoadError (reason, line, column) when it does not load. progress(position, total) is "
             "called as it loads; an\n"
             "exception raised in it stops the load and is raised here.");
  module.def("save", &Save, py::arg("root"), py::arg("path"),
             "Writes the tree to path as the library writes exchange files (the old file\n"
             "is replaced only by a complete new one). OSError when it is not written.");

  py::class_<LeftOutElement>(module, "LeftOut",
                             "An element that loading leaves out, with all inside it.")
      .def_readonly("line", &LeftOutElement::line, "Line of its start tag, from 1.")
      .def_property_readonly(
          "path", [](const LeftOutElement& e) { return py::str(e.path); },
          "The labels from the document element down to it: /FILE_CONVERT/SysVar/Var[\"Scale\"]")
      .def_readonly("reason", &LeftOutElement::reason)
      .def_readonly("elements_inside", &LeftOutElement::elementsInside)
      .def("__repr__", [](const LeftOutElement& e) {
        return "LeftOut(line=" + std::to_string(e.line) +
               ", path=" + py::repr(py::str(e.path)).cast<std::string>() +
               ", reason=" + py::repr(py::str(e.reason)).cast<std::string>() + ")";
      });
  py::class_<Inspection>(module, "Inspection",
                         "What loading an exchange file gives and leaves out.")
      .def_property_readonly("loads", [](const Inspection& i) { return i.report.loads; })
      .def_property_readonly(
          "reason", [](const Inspection& i) { return i.report.failure; },
          "Why the file does not load ('' when it loads).")
      .def_property_readonly("line", [](const Inspection& i) { return i.report.line; })
      .def_property_readonly("column", [](const Inspection& i) { return i.report.column; })
      .def_property_readonly("elements", [](const Inspection& i) { return i.report.elements; })
      .def_readonly("left_out", &Inspection::leftOut, "The elements left out, in document order.")
      .def("__repr__", [](const Inspection& i) {
        return "Inspection(loads=" + std::string(i.report.loads ? "True" : "False") +
               ", elements=" + std::to_string(i.report.elements) + ", left_out=<" +
               std::to_string(i.leftOut.size()) + ">)";
      });
  module.def("inspect", &Inspect, py::arg("path"),
             "Reads the exchange file as load does and reports whether it loads (else why,\n"
             "where) and every element loading leaves out. Raises only for the path itself.");

  py::class_<Document>(
      module, "Document",
      "The conversion document: the root FILE_CONVERT and its seven sections.\n"
      "Document(path, 'r') loads now (LoadError when the file does not load);\n"
      "Document(path, 'w') starts an empty tree, written to path on close() or at\n"
      "the end of a with block that raised nothing (OSError when not written).")
      .def(py::init<py::handle, const std::string&, py::object>(), py::arg("path"),
           py::arg("mode") = "r", py::arg("progress") = py::none())
      .def_property_readonly("root", [](Document& d) { return d.Section(&FileConvert::GetRoot); })
      .def_property_readonly("sys_var",
                             [](Document& d) { return d.Section(&FileConvert::GetSysVar); })
      .def_property_readonly("layers",
                             [](Document& d) { return d.Section(&FileConvert::GetLayers); })
      .def_property_readonly("environment",
                             [](Document& d) { return d.Section(&FileConvert::GetEnvironment); })
      .def_property_readonly("materials",
                             [](Document& d) { return d.Section(&FileConvert::GetMaterials); })
      .def_property_readonly("meshes",
                             [](Document& d) { return d.Section(&FileConvert::GetMeshs); })
      .def_property_readonly("groups",
                             [](Document& d) { return d.Section(&FileConvert::GetGroups); })
      .def_property_readonly("entities",
                             [](Document& d) { return d.Section(&FileConvert::GetEntitys); })
      .def_property_readonly("closed", &Document::Closed)
      .def_property_readonly("mode", [](const Document& d) { return d.Writing() ? "w" : "r"; })
      .def_property_readonly("path", &Document::Path)
      .def("close", &Document::Close, "Writes the file in write mode (once); the sections go.")
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](Document& d, py::handle type, py::handle, py::handle) {
        if (type.is_none()) {
          d.Close();
        } else {
          d.Discard();
        }
        return false;
      });
}

}  // namespace python
}  // namespace corvane
