// Saving a chunk tree as a chunk file in one pass: the writer's walk (see
// chunk_tree_walk.h) streams the text through the library's serializer
// straight into the save of `path` (platform/file_replacement.h), giving the
// same bytes as building the document and saving it. The whole tree below
// `root` is visited, counted and consumed whether or not a file results; no
// file is written when the root's label is not an XML name or the path
// cannot be opened for writing. An exception from the progress callback or
// the allocator passes through and leaves the file as it was. One thread at
// a time.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/cstring.h>

#include <boost/shared_ptr.hpp>

#include "xmldom/xml_text_output.h"
#include "xmlio/progress_run.h"

namespace corvane {
namespace xmlio {

// `path` is narrow text up to its first NUL. False when no file was written.
bool WriteChunkFile(const CString& path, boost::shared_ptr<IChunk> root, ProgressRun& progress);
// The same bytes into `sink`, for a stream; false, writing nothing, when the
// root is empty or its label is not an XML name.
bool WriteChunkText(boost::shared_ptr<IChunk> root, xmldom::TextSink& sink, ProgressRun& progress);

}  // namespace xmlio
}  // namespace corvane
