#include "chunk_values.h"

#include <Python.h>
#include <corvane/chunk/chunk_factory.h>

#include <cstring>
#include <limits>
#include <string>

#include "narrow_text.h"

namespace corvane {
namespace python {
namespace {

// The library's type tags in one order; the vector kinds count from their first.
enum Kind {
  kInt,
  kUInt,
  kFloat,
  kLong64,
  kULong64,
  kDouble,
  kBool,
  kFloat2,
  kFloat3,
  kFloat4,
  kDouble2,
  kDouble3,
  kDouble4,
  kString,
  kKnownKinds,
  kNone = kKnownKinds,
  kCustom
};
constexpr const char* kTags[kKnownKinds] = {"int",     "uint",    "float",   "long64", "ulong64",
                                            "double",  "bool",    "float2",  "float3", "float4",
                                            "double2", "double3", "double4", "string"};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Letter case ignored (ASCII only), as the library reads type tags; no copy:
// values are read for every chunk a walk reaches.
Kind KindOfTag(const CString& tag) {
  if (tag.IsEmpty()) return kNone;
  const char* text = tag.GetString();
  for (int kind = 0; kind < kKnownKinds; ++kind) {
    const char* known = kTags[kind];
    std::size_t i = 0;
    while (known[i] != '\0' && LowerAscii(text[i]) == known[i]) ++i;
    if (known[i] == '\0' && text[i] == '\0') return static_cast<Kind>(kind);
  }
  return kCustom;
}

py::tuple Floats(IChunk& chunk, int count) {
  py::tuple values(count);
  for (int i = 0; i < count; ++i) {
    const unsigned int at = static_cast<unsigned int>(i);
    values[static_cast<std::size_t>(i)] = py::float_(count == 2   ? chunk.getF32Value2(at)
                                                     : count == 3 ? chunk.getF32Value3(at)
                                                                  : chunk.getF32Value4(at));
  }
  return values;
}

py::tuple Doubles(IChunk& chunk, int count) {
  py::tuple values(count);
  for (int i = 0; i < count; ++i) {
    const unsigned int at = static_cast<unsigned int>(i);
    values[static_cast<std::size_t>(i)] = py::float_(count == 2   ? chunk.getF64Value2(at)
                                                     : count == 3 ? chunk.getF64Value3(at)
                                                                  : chunk.getF64Value4(at));
  }
  return values;
}

[[noreturn]] void Refuse(PyObject* error, const std::string& message) {
  PyErr_SetString(error, message.c_str());
  throw py::error_already_set();
}

std::string Describe(py::handle value) { return py::repr(value).cast<std::string>(); }

template <typename Integer>
Integer IntegerOf(py::handle value, const char* tag) {
  if (PyFloat_Check(value.ptr()) || !PyIndex_Check(value.ptr())) {
    Refuse(PyExc_TypeError,
           std::string("a \"") + tag + "\" value must be an int, not " + Describe(value));
  }
  py::int_ number = py::reinterpret_steal<py::int_>(PyNumber_Index(value.ptr()));
  if (!number) throw py::error_already_set();
  const py::int_ low(std::numeric_limits<Integer>::min());
  const py::int_ high(std::numeric_limits<Integer>::max());
  if (number < low || number > high) {
    Refuse(PyExc_OverflowError, Describe(value) + " does not fit a \"" + tag + "\" chunk");
  }
  return number.cast<Integer>();
}

double RealOf(py::handle value, const char* tag) {
  if (PyUnicode_Check(value.ptr()) || (!PyFloat_Check(value.ptr()) && !PyIndex_Check(value.ptr()) &&
                                       !PyObject_HasAttrString(value.ptr(), "__float__"))) {
    Refuse(PyExc_TypeError,
           std::string("a \"") + tag + "\" value must be a number, not " + Describe(value));
  }
  const double real = PyFloat_AsDouble(value.ptr());
  if (real == -1.0 && PyErr_Occurred()) throw py::error_already_set();
  return real;
}

// The 2 to 4 components of a vector value.
std::vector<double> RealsOf(py::handle value, std::size_t count, const char* tag) {
  if (PyUnicode_Check(value.ptr()) || !PySequence_Check(value.ptr()) || py::len(value) != count) {
    Refuse(PyExc_TypeError, std::string("a \"") + tag + "\" value is a sequence of " +
                                std::to_string(count) + " numbers, not " + Describe(value));
  }
  std::vector<double> reals;
  for (py::handle item : py::reinterpret_borrow<py::sequence>(value))
    reals.push_back(RealOf(item, tag));
  return reals;
}

ChunkPtr MakeKnown(const CString& label, const CString& name, py::handle value, Kind kind) {
  const char* tag = kTags[kind];
  switch (kind) {
    case kInt:
      return newChunk(label, name, IntegerOf<int>(value, tag));
    case kUInt:
      return newChunk(label, name, IntegerOf<unsigned int>(value, tag));
    case kLong64:
      return newChunk(label, name, static_cast<__int64>(IntegerOf<long long>(value, tag)));
    case kULong64:
      return newChunk(label, name,
                      static_cast<unsigned __int64>(IntegerOf<unsigned long long>(value, tag)));
    case kFloat:
      return newChunk(label, name, static_cast<float>(RealOf(value, tag)));
    case kDouble:
      return newChunk(label, name, RealOf(value, tag));
    case kBool:
      if (!PyBool_Check(value.ptr())) {
        Refuse(PyExc_TypeError, "a \"bool\" value must be a bool, not " + Describe(value));
      }
      return newChunk(label, name, value.ptr() == Py_True);
    case kString:
      return newChunk(label, name, NarrowFromPython(value, "a \"string\" value"));
    default:
      break;
  }
  const bool single = kind <= kFloat4;
  const std::size_t count = static_cast<std::size_t>(kind - (single ? kFloat2 : kDouble2) + 2);
  const std::vector<double> v = RealsOf(value, count, tag);
  if (single) {
    const auto f = [&v](std::size_t i) { return static_cast<float>(v[i]); };
    if (count == 2) return newChunk(label, name, f(0), f(1));
    if (count == 3) return newChunk(label, name, f(0), f(1), f(2));
    return newChunk(label, name, f(0), f(1), f(2), f(3));
  }
  if (count == 2) return newChunk(label, name, v[0], v[1]);
  if (count == 3) return newChunk(label, name, v[0], v[1], v[2]);
  return newChunk(label, name, v[0], v[1], v[2], v[3]);
}

// The kind a value takes when no type tag is given.
Kind InferredKind(py::handle value) {
  if (PyBool_Check(value.ptr())) return kBool;
  if (PyUnicode_Check(value.ptr())) return kString;
  if (PyFloat_Check(value.ptr())) return kDouble;
  if (PyIndex_Check(value.ptr())) {
    py::int_ number = py::reinterpret_steal<py::int_>(PyNumber_Index(value.ptr()));
    if (!number) throw py::error_already_set();
    if (number >= py::int_(std::numeric_limits<int>::min()) &&
        number <= py::int_(std::numeric_limits<int>::max())) {
      return kInt;
    }
    // Negative numbers beyond 64 bits fail in IntegerOf, with the reason.
    return number <= py::int_(std::numeric_limits<long long>::max()) ? kLong64 : kULong64;
  }
  if ((PyTuple_Check(value.ptr()) || PyList_Check(value.ptr()))) {
    const std::size_t count = py::len(value);
    if (count >= 2 && count <= 4) return static_cast<Kind>(kDouble2 + static_cast<int>(count) - 2);
  }
  Refuse(PyExc_TypeError, "no chunk value kind for " + Describe(value) +
                              " (bool, int, float, str or 2 to 4 numbers; type= picks others)");
}

}  // namespace

py::object ValueOf(IChunk& chunk) {
  const Kind kind = KindOfTag(chunk.type());
  switch (kind) {
    case kNone:
      return py::none();
    case kInt:
      return py::int_(chunk.getI32Value());
    case kUInt:
      return py::int_(chunk.getU32Value());
    case kLong64:
      return py::int_(static_cast<long long>(chunk.getI64Value()));
    case kULong64:
      return py::int_(static_cast<unsigned long long>(chunk.getU64Value()));
    case kFloat:
      return py::float_(chunk.getF32Value());
    case kDouble:
      return py::float_(chunk.getF64Value());
    case kBool:
      return py::bool_(chunk.getBoolValue());
    case kFloat2:
    case kFloat3:
    case kFloat4:
      return Floats(chunk, kind - kFloat2 + 2);
    case kDouble2:
    case kDouble3:
    case kDouble4:
      return Doubles(chunk, kind - kDouble2 + 2);
    default: {  // "string" or the host's own kind: text
      const char* text = chunk.getStringValue();
      return text == nullptr ? py::str() : PythonFromNarrow(text, std::strlen(text));
    }
  }
}

ChunkPtr MakeChunk(const CString& label, const CString& name, py::handle value, py::handle type) {
  if (type.is_none()) {
    if (value.is_none()) return newChunk(label, name);
    return MakeKnown(label, name, value, InferredKind(value));
  }
  const CString tag = NarrowFromPython(type, "the type tag");
  const Kind kind = KindOfTag(tag);
  if (kind == kNone) Refuse(PyExc_ValueError, "the type tag is empty");
  if (value.is_none()) Refuse(PyExc_ValueError, "a type tag needs a value");
  if (kind == kCustom) return newChunk(label, name, tag, NarrowFromPython(value, "the value"));
  return MakeKnown(label, name, value, kind);
}

}  // namespace python
}  // namespace corvane
