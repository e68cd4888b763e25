// corvane.Chunk: a Python view of one library chunk, made when Python first
// reaches the chunk (a loaded tree is not wrapped as a whole).
#include <Python.h>
#include <corvane/chunk/chunk_factory.h>

#include <string>
#include <vector>

#include "bindings.h"
#include "chunk_dict.h"
#include "chunk_values.h"
#include "narrow_text.h"

namespace corvane {
namespace python {
namespace {

std::size_t Position(IChunk& chunk, py::ssize_t index) {
  const py::ssize_t size = static_cast<py::ssize_t>(chunk.children().size());
  if (index < 0) index += size;
  if (index < 0 || index >= size) throw py::index_error("chunk child index out of range");
  return static_cast<std::size_t>(index);
}

// True when `inner` is `outer` or somewhere below it.
bool Within(IChunk* inner, IChunk& outer) {
  std::vector<IChunk*> pending{&outer};
  while (!pending.empty()) {
    IChunk* chunk = pending.back();
    pending.pop_back();
    if (chunk == inner) return true;
    for (const ChunkPtr& child : chunk->children()) {
      if (child) pending.push_back(child.get());
    }
  }
  return false;
}

void CheckNoCycle(IChunk& parent, const ChunkPtr& child) {
  if (!child) throw py::type_error("a child must be a Chunk");
  if (Within(&parent, *child)) throw py::value_error("a chunk cannot hold itself or its ancestors");
}

bool Matches(const CString& text, const CString* wanted) {
  return wanted == nullptr || text.CompareNoCase(*wanted) == 0;
}

py::object FindChild(IChunk& chunk, py::object label, py::object name) {
  CString labelText, nameText;
  if (!label.is_none()) labelText = NarrowFromPython(label, "the label");
  if (!name.is_none()) nameText = NarrowFromPython(name, "the name");
  const CString* wantedLabel = label.is_none() ? nullptr : &labelText;
  const CString* wantedName = name.is_none() ? nullptr : &nameText;
  for (const ChunkPtr& child : chunk.children()) {
    if (child && Matches(child->label(), wantedLabel) && Matches(child->name(), wantedName)) {
      return py::cast(child);
    }
  }
  return py::none();
}

std::string Repr(IChunk& chunk) {
  std::string text = "Chunk(" + py::repr(PythonFromNarrow(chunk.label())).cast<std::string>();
  if (!chunk.name().IsEmpty())
    text += ", name=" + py::repr(PythonFromNarrow(chunk.name())).cast<std::string>();
  if (!chunk.type().IsEmpty()) {
    text += ", type=" + py::repr(PythonFromNarrow(chunk.type())).cast<std::string>();
    text += ", value=" + py::repr(ValueOf(chunk)).cast<std::string>();
  }
  if (!chunk.children().empty())
    text += ", <" + std::to_string(chunk.children().size()) + " children>";
  return text + ")";
}

// The children as a Python list, made in one call: iterating a tree costs a
// wrapper per chunk and no call per step.
py::list ChildList(IChunk& chunk) {
  const IChunk::ChildList& children = chunk.children();
  py::list items(children.size());
  for (std::size_t i = 0; i < children.size(); ++i) items[i] = py::cast(children[i]);
  return items;
}

const char kChunkDoc[] =
    "One chunk of a tree: label (its role), name, type (the type tag) and value,\n"
    "and a sequence of child chunks. Chunk(label, name='', value=None, type=None)\n"
    "makes one; the value's kind follows the Python value unless type= names it\n"
    "('int', 'uint', 'float', 'long64', 'ulong64', 'double', 'bool', 'float2' ..\n"
    "'float4', 'double2' .. 'double4', 'string', or a tag of your own for text).\n"
    "Texts are code page 936 inside the library: a str it cannot hold raises ValueError.";

}  // namespace

void RegisterChunk(py::module_& module) {
  py::class_<IChunk, ChunkPtr> chunk(module, "Chunk", kChunkDoc);
  chunk
      .def(py::init([](py::handle label, py::handle name, py::handle value, py::handle type) {
             const CString labelText = NarrowFromPython(label, "the label");
             CheckLabel(labelText);
             return MakeChunk(labelText, NarrowFromPython(name, "the name"), value, type);
           }),
           py::arg("label"), py::arg("name") = "", py::arg("value") = py::none(),
           py::arg("type") = py::none())
      .def_property_readonly(
          "label", [](IChunk& c) { return PythonFromNarrow(c.label()); },
          "The label: the chunk's role.")
      .def_property_readonly(
          "name", [](IChunk& c) { return PythonFromNarrow(c.name()); }, "The name ('' for none).")
      .def_property_readonly(
          "type", [](IChunk& c) { return PythonFromNarrow(c.type()); },
          "The type tag ('' for a chunk without value).")
      .def_property_readonly(
          "value", &ValueOf,
          "The value: bool, int, float, str, a tuple for the vector kinds, or None.")
      .def_property_readonly(
          "value_text", [](IChunk& c) { return PythonFromNarrow(c.getValueAsString()); },
          "The value as the file carries it ('%f' numbers, components joined by ',').")
      .def("__len__", [](IChunk& c) { return c.children().size(); })
      .def(
          "__iter__", [](IChunk& c) { return py::iter(ChildList(c)); },
          "Iterates over the children the chunk has when the iteration starts.")
      .def("__getitem__", [](IChunk& c, py::ssize_t i) { return c.children()[Position(c, i)]; })
      .def("__getitem__",
           [](IChunk& c, const py::slice& slice) {
             std::size_t start = 0, stop = 0, step = 0, count = 0;
             if (!slice.compute(c.children().size(), &start, &stop, &step, &count)) {
               throw py::error_already_set();
             }
             py::list items;
             for (std::size_t i = 0; i < count; ++i, start += step)
               items.append(c.children()[start]);
             return items;
           })
      .def("__delitem__",
           [](IChunk& c, py::ssize_t i) { c.erase(static_cast<unsigned int>(Position(c, i))); })
      .def("child", &FindChild, py::arg("label") = py::none(), py::arg("name") = py::none(),
           "The first child whose label and name (those given) match, letter case ignored\n"
           "as the library ignores it (ASCII letters only); None when there is none.")
      .def(
          "append",
          [](IChunk& c, const ChunkPtr& child) {
            CheckNoCycle(c, child);
            c.addChild(child);
          },
          py::arg("child"), "Appends a child chunk (shared, not copied).")
      .def(
          "insert",
          [](IChunk& c, py::ssize_t index, const ChunkPtr& child) {
            CheckNoCycle(c, child);
            const py::ssize_t size = static_cast<py::ssize_t>(c.children().size());
            if (index < 0) index = std::max<py::ssize_t>(0, index + size);
            c.children().insert(c.children().begin() + std::min(index, size), child);
          },
          py::arg("index"), py::arg("child"), "Inserts a child chunk before position index.")
      .def(
          "remove",
          [](IChunk& c, const ChunkPtr& child) {
            IChunk::ChildList& children = c.children();
            for (std::size_t i = 0; i < children.size(); ++i) {
              if (children[i] == child) {
                c.erase(static_cast<unsigned int>(i));
                return;
              }
            }
            throw py::value_error("the chunk is not a child of this chunk");
          },
          py::arg("child"),
          "Removes the first entry that is this very chunk; ValueError when none is.")
      .def("to_dict", &DictOfTree,
           "The tree as nested dicts in the JSON layout of `corvane convert`.")
      .def_static("from_dict", &TreeOfDict, py::arg("d"),
                  "The tree a dict in the layout of to_dict (and `corvane convert`) describes.")
      .def("__repr__", &Repr);
}

}  // namespace python
}  // namespace corvane
