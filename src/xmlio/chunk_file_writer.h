// Saving a chunk tree as a chunk file, the whole save protocol of
// XmlFileIO::save, FileConvert and SaveChunkFile. Nothing happens for an
// empty path or root. With a start callback installed, the chunks below the
// root are counted first: none, and nothing happens either; else the run
// starts with that total. Then one pass: the writer's walk (see
// chunk_tree_walk.h) streams the text through the library's serializer
// straight into the save of `path` (platform/file_replacement.h), giving the
// same bytes as building the document and saving it. The whole tree below
// `root` is visited, counted and consumed whether or not a file results; no
// file is written when the root's label is not an XML name or the path
// cannot be opened for writing. Last, the end callback. An exception from a
// callback or the allocator passes through, with no end callback, and
// leaves the file as it was. One thread at a time.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/cstring.h>
#include <corvane/xmlio/progress.h>

#include <boost/shared_ptr.hpp>

#include "xmldom/xml_text_output.h"

namespace corvane {
namespace xmlio {

// `path` is narrow text up to its first NUL. False when no file was written.
bool WriteChunkFile(const CString& path, boost::shared_ptr<IChunk> root, ProgressState& progress);
// The same bytes into `sink`, for a stream, under the same protocol; false,
// writing nothing, when the root is empty or its label is not an XML name.
bool WriteChunkText(boost::shared_ptr<IChunk> root, xmldom::TextSink& sink,
                    ProgressState& progress);

}  // namespace xmlio
}  // namespace corvane
