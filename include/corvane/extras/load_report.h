// Why an XML chunk file does not load, and what loading it leaves out: a
// library addition for tools and hosts that want to tell their users. The
// file is read exactly as XmlFileIO::read reads it (same parser, same
// element-to-chunk rules), without progress callbacks. Nothing throws but
// std::bad_alloc; one thread at a time.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/export.h>
#include <corvane/extras/element_check.h>  // ChunkFromTexts, once declared here
#include <corvane/platform/cstring.h>

#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>
#include <string>

namespace corvane {

// An element that loading leaves out, together with everything inside it.
struct LeftOutElement {
  unsigned long line = 0;  // line of its start tag, from 1
  // The labels from the document element down to it, each with its name when
  // it has one, as UTF-8: /FILE_CONVERT/SysVar/Var["Scale"]
  std::string path;
  std::string reason;                     // e.g. unknown type tag "color"
  unsigned long long elementsInside = 0;  // elements inside it, lost with it
};

struct LoadReport {
  bool loads = false;      // false: the file does not load at all
  std::string failure;     // why not: the parser's own words, or the limit passed
  unsigned long line = 0;  // where, from 1; 0 when the failure has no place in the text
  unsigned long column = 0;
  unsigned long long elements = 0;  // all elements of a file that loads
  unsigned long long leftOut = 0;   // elements loading leaves out, inside ones included
};

typedef boost::function<void(const LeftOutElement&)> LeftOutObserver;

// Loads `path`, tells `observer` (when not empty) of each element left out,
// in document order, and gives the loaded tree to `tree` when not null (an
// empty pointer when the document element itself is left out; untouched when
// the file does not load).
CORVANE_API LoadReport InspectChunkFile(const CString& path,
                                        const LeftOutObserver& observer = LeftOutObserver(),
                                        boost::shared_ptr<IChunk>* tree = nullptr);

// Whether `path` opens for reading as loading opens it (a regular file the
// caller may read), reading nothing: a tool checks all its inputs before
// loading any. When not, `reason` (when not null) says so in the words of
// LoadReport::failure.
CORVANE_API bool ChunkFileOpens(const CString& path, std::string* reason = nullptr);

}  // namespace corvane
