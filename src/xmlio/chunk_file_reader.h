// Reading an XML chunk file straight from the parser's events. When the
// progress run or the observer may be told anything, in two passes over the
// file: the first makes sure the whole document is one the parser accepts
// and counts its elements, so nothing is reported for a file that does not
// load; the second builds the chunks while they are reported. Otherwise in
// one pass that checks and builds at once. Memory beyond the tree stays bounded by the
// parser's block size and the nesting depth. Elements left out (see
// element_chunks.h) are skipped with their subtrees, uncounted; an observer
// may be told of each. Exceptions from a callback or the allocator pass
// through. One thread at a time.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/cstring.h>
#include <corvane/xmlio/load_report.h>

#include <boost/shared_ptr.hpp>

#include "xmlio/progress_run.h"

namespace corvane {
namespace xmlio {

// Why a file that does not open for reading does not load.
extern const char kUnreadableFile[];

// Reads `path` into `root`: the root is replaced once the file is known to
// load (by the document element's chunk, or by an empty pointer when it is
// left out). `report` gets the outcome; `observer` may be empty.
void ReadChunkFile(const CString& path, boost::shared_ptr<IChunk>& root, ProgressRun& progress,
                   const LeftOutObserver& observer, LoadReport& report);

}  // namespace xmlio
}  // namespace corvane
