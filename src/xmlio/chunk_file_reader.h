// Reading an XML chunk file straight from the parser's events: the whole
// read protocol of XmlFileIO::read, FileConvert and InspectChunkFile. When
// the progress run or the observer may be told anything, in two passes over
// the file: the first makes sure the whole document is one the parser
// accepts and counts its elements, so nothing is reported for a file that
// does not load; then the run starts with that count (the document element
// not included) and the second pass builds the chunks while they are
// reported; last, the end callback. Otherwise in one pass that checks and
// builds at once. Memory beyond the tree stays bounded by the parser's
// block size and the nesting depth. Elements left out (see element_chunks.h)
// are skipped with their subtrees, uncounted; an observer may be told of
// each. Exceptions from a callback or the allocator pass through, with no
// end callback. One thread at a time.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/extras/load_report.h>
#include <corvane/platform/cstring.h>
#include <corvane/xmlio/progress.h>

#include <boost/shared_ptr.hpp>

namespace corvane {
namespace xmlio {

// Why a file that does not open for reading does not load.
extern const char kUnreadableFile[];

// Reads `path` into `root`: the root is replaced once the file is known to
// load (by the document element's chunk, or by an empty pointer when it is
// left out). The report says how it went; `observer` may be empty.
LoadReport ReadChunkFile(const CString& path, boost::shared_ptr<IChunk>& root,
                         ProgressState& progress,
                         const LeftOutObserver& observer = LeftOutObserver());

}  // namespace xmlio
}  // namespace corvane
