// Chunk trees as Python dicts in the JSON layout of `corvane convert`: one
// dict per chunk with "label", "name", "type", "value" (the value text, as
// the file carries it) and "children" (a list of dicts), in that order, each
// left out when empty. Reading takes what the tool's JSON reader takes
// (members in any order) and refuses what it refuses - a missing label or
// one that cannot name an XML element, another key, a text that is not str
// or that code page 936 or XML cannot carry, a value without a type, a type
// and value that loading would leave out, nesting deeper than 256 levels -
// with ValueError or TypeError naming the chunk's place. Both walks keep
// their own stack. Callers hold the GIL.
#pragma once

#include "bindings.h"

namespace corvane {
namespace python {

py::dict DictOfTree(IChunk& root);
ChunkPtr TreeOfDict(py::handle dict);

// Whether a label can name an element in the library's files: the rule the
// tool and the library's writer apply. ValueError when it cannot.
void CheckLabel(const CString& label);

}  // namespace python
}  // namespace corvane
