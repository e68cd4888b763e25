// A chunk tree as JSON, in the form `corvane convert` writes and reads back:
// one object per chunk with the members "label", "name", "type", "value"
// (the value text, as getValueAsString gives it: the text the XML file
// carries) and "children" (an array of chunk objects), in that order, each
// left out when empty, and no white space. The walk keeps its own stack, so
// any depth is safe; the tree is only read.
#pragma once

#include <corvane/chunk/ichunk.h>

#include "corvane/json_output.h"

namespace corvane {
namespace tool {

void WriteChunkJson(JsonWriter& writer, IChunk& root);

}  // namespace tool
}  // namespace corvane
