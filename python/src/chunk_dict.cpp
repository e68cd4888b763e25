#include "chunk_dict.h"

#include <Python.h>
#include <corvane/extras/load_report.h>
#include <corvane/xmldom/xml.h>

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "narrow_text.h"

namespace corvane {
namespace python {
namespace {

constexpr std::size_t kMaxDepth = 256;  // as in an exchange file
constexpr const char* kKeys[] = {"label", "name", "type", "value", "children"};

// The value text of the file; a custom kind's text too.
py::str ValueText(IChunk& chunk) { return PythonFromNarrow(chunk.getValueAsString()); }

void SetIfAny(py::dict& dict, const char* key, const CString& text) {
  if (!text.IsEmpty()) dict[key] = PythonFromNarrow(text);
}

py::dict MemberDict(IChunk& chunk) {
  py::dict dict;
  dict["label"] = PythonFromNarrow(chunk.label());
  SetIfAny(dict, "name", chunk.name());
  SetIfAny(dict, "type", chunk.type());
  py::str value = ValueText(chunk);
  if (py::len(value) != 0) dict["value"] = value;
  return dict;
}

bool XmlCanCarry(const CString& text) {
  for (int i = 0; i < text.GetLength(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
  }
  return true;
}

[[noreturn]] void Refuse(PyObject* error, const std::string& where, const std::string& why) {
  PyErr_SetString(error, (where + ": " + why).c_str());
  throw py::error_already_set();
}

// One dict's chunk, its children still to come.
ChunkPtr ChunkOfMembers(py::handle object, const std::string& where) {
  if (!PyDict_Check(object.ptr())) {
    Refuse(PyExc_TypeError, where,
           std::string("a chunk is a dict, not ") + Py_TYPE(object.ptr())->tp_name);
  }
  py::dict dict = py::reinterpret_borrow<py::dict>(object);
  CString texts[4];
  bool seen[4] = {};
  for (auto item : dict) {
    const std::string key = PyUnicode_Check(item.first.ptr()) ? item.first.cast<std::string>() : "";
    int member = 0;
    while (member < 5 && key != kKeys[member]) ++member;
    if (member == 5)
      Refuse(PyExc_ValueError, where, "unknown key " + py::repr(item.first).cast<std::string>());
    if (member == 4) continue;
    texts[member] = NarrowFromPython(item.second, (where + ": \"" + key + "\"").c_str());
    if (!XmlCanCarry(texts[member])) {
      Refuse(PyExc_ValueError, where,
             "\"" + key + "\" holds a control character, which XML cannot carry");
    }
    seen[member] = true;
  }
  if (!seen[0]) Refuse(PyExc_ValueError, where, "a chunk needs a \"label\"");
  CheckLabel(texts[0]);
  if (seen[3] && texts[2].IsEmpty())
    Refuse(PyExc_ValueError, where, "a \"value\" needs a \"type\"");
  std::string reason;
  ChunkPtr chunk = ChunkFromTexts(texts[0], texts[1], texts[2], texts[3], &reason);
  if (!chunk) Refuse(PyExc_ValueError, where, "its type and value make no chunk: " + reason);
  return chunk;
}

std::string Place(const std::string& parent, std::size_t index) {
  return parent + "[\"children\"][" + std::to_string(index) + "]";
}

}  // namespace

void CheckLabel(const CString& label) {
  // The library's DOM refuses an element name exactly where its writer would;
  // one scratch document answers, each label once (the GIL guards them).
  static DomXml::CXml* scratch = nullptr;
  static std::unordered_map<std::string, bool>* answers = nullptr;
  if (scratch == nullptr || answers->size() > 4096) {
    delete scratch;
    delete answers;
    scratch = new DomXml::CXml;
    scratch->Create("names");
    answers = new std::unordered_map<std::string, bool>;
  }
  std::string key(label.GetString(), static_cast<std::size_t>(label.GetLength()));
  auto found = answers->find(key);
  if (found == answers->end()) {
    const bool fits = !label.IsEmpty() && !scratch->GetRoot()->NewChild(label)->IsNull();
    found = answers->emplace(std::move(key), fits).first;
  }
  if (!found->second) {
    throw py::value_error("label " + py::repr(PythonFromNarrow(label)).cast<std::string>() +
                          " is not an XML name without colons, as an element needs");
  }
}

py::dict DictOfTree(IChunk& root) {
  struct Frame {
    IChunk* chunk;
    py::list children;
    std::size_t next;
  };
  py::dict top = MemberDict(root);
  std::vector<Frame> stack;
  const auto open = [&stack](IChunk& chunk, py::dict& dict) {
    if (chunk.children().empty()) return;
    py::list list;
    dict["children"] = list;
    stack.push_back(Frame{&chunk, list, 0});
  };
  open(root, top);
  while (!stack.empty()) {
    Frame& frame = stack.back();
    IChunk::ChildList& children = frame.chunk->children();
    if (frame.next == children.size()) {
      stack.pop_back();
      continue;
    }
    IChunk* child = children[frame.next++].get();
    if (child == nullptr) continue;
    py::dict dict = MemberDict(*child);
    frame.children.append(dict);
    open(*child, dict);  // may move the frames: `frame` is not used after this
  }
  return top;
}

ChunkPtr TreeOfDict(py::handle dict) {
  struct Frame {
    ChunkPtr chunk;
    py::list children;
    std::size_t next;
    std::string where;
  };
  std::vector<Frame> stack;
  const auto open = [&stack](py::handle object, const std::string& where) {
    if (stack.size() >= kMaxDepth)
      Refuse(PyExc_ValueError, where, "chunks nest deeper than 256 levels");
    ChunkPtr chunk = ChunkOfMembers(object, where);
    py::object children = py::reinterpret_borrow<py::dict>(object).attr("get")("children");
    if (!children.is_none()) {
      if (!PyList_Check(children.ptr())) {
        Refuse(PyExc_TypeError, where, "\"children\" must be a list");
      }
    }
    stack.push_back(
        Frame{chunk, children.is_none() ? py::list() : py::reinterpret_borrow<py::list>(children),
              0, where});
    return chunk;
  };
  ChunkPtr root = open(dict, "the dict");
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.children.size()) {
      stack.pop_back();
      continue;
    }
    const std::size_t index = frame.next++;
    ChunkPtr parent = frame.chunk;
    const std::string where = Place(frame.where, index);
    parent->addChild(open(frame.children[index], where));
  }
  return root;
}

}  // namespace python
}  // namespace corvane
