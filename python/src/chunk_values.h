// A chunk's value as Python sees it, and chunks made from Python values.
// Values: None (no value), bool, int, float, str, or a tuple of floats for
// the vector kinds. Without an explicit type tag the kind follows the value:
// bool "bool", int "int" (then "long64", "ulong64" when it does not fit),
// float "double", str "string", a tuple or list of 2 to 4 numbers
// "double2".."double4". A type tag (letter case ignored) picks any kind; a
// tag the library does not know makes a chunk of the host's own kind with a
// str value. A value that does not fit its kind raises TypeError,
// ValueError or OverflowError. Callers hold the GIL.
#pragma once

#include <corvane/chunk/ichunk.h>

#include "bindings.h"

namespace corvane {
namespace python {

py::object ValueOf(IChunk& chunk);
ChunkPtr MakeChunk(const CString& label, const CString& name, py::handle value, py::handle type);

}  // namespace python
}  // namespace corvane
