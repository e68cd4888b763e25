// Reads a chunk tree from JSON in the form json_chunk_writer.h describes
// (members in any order, white space anywhere), streamed through rapidjson's
// SAX reader with UTF-8 validation straight into chunks: memory beyond the
// tree stays small whatever the file's size. Chunks may nest 256 levels, as
// in an XML chunk file; deeper nesting, or an array where none belongs, is
// refused as it opens, so no input can drive the parser's recursion deeper. Whatever is not of the
// form, or would not come back the same through an XML file (json_chunk_fields.h), stops the
// reading with the reason and the byte it was found at.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <boost/shared_ptr.hpp>
#include <cstdio>

#include "corvane/json_position.h"

namespace corvane {
namespace tool {

// Reads all of `in`; on success gives the tree to `root`, else fills `trouble`.
bool ReadChunkJson(std::FILE* in, boost::shared_ptr<IChunk>& root, JsonTrouble& trouble);

}  // namespace tool
}  // namespace corvane
