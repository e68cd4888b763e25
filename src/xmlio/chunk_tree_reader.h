// ChunkTreeReader: the reader's walk. Builds the chunk for one element by the
// element-to-chunk rules (ChunkFromElement), assigns it to the target pointer
// (which ends up empty when the element is left out), then builds the
// children depth first and appends each child once its own subtree is done.
// Elements left out are skipped with their subtrees, uncounted. It keeps its
// own stack, so no depth is a danger to it. Exceptions from the progress
// callback or the allocator pass through. One thread at a time.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <pugixml.hpp>

#include <corvane/chunk/ichunk.h>

#include "chunk/value_parse.h"
#include "xmlio/progress_cursor.h"
#include "xmlio/recent_text_cache.h"

namespace corvane {
namespace xmlio {

// All elements below `element` (itself not included), in 32-bit wrapping
// arithmetic; elements the reader later leaves out count too.
unsigned int CountDescendantElements(pugi::xml_node element);

// Told of each element the reader leaves out, and why, before its subtree is
// skipped. The file checker uses it so that its reasons are the reader's own.
typedef std::function<void(pugi::xml_node element, DropReason reason)> DropObserver;

class ChunkTreeReader {
 public:
  explicit ChunkTreeReader(ProgressCursor cursor) : m_cursor(cursor) {}

  void SetDropObserver(DropObserver observer) { m_dropObserver = std::move(observer); }
  void Read(boost::shared_ptr<IChunk>& target, pugi::xml_node element);

 private:
  struct Frame {
    boost::shared_ptr<IChunk> chunk;
    pugi::xml_node nextChild;  // the next element child still to read
  };

  // Counts the element, then builds its chunk, or none.
  boost::shared_ptr<IChunk> Build(pugi::xml_node element);
  // Narrow text for UTF-8 text, through `cache`: repeated texts share one buffer.
  const CString& Narrow(RecentTextCache<CString>& cache, const char* utf8);

  ProgressCursor m_cursor;
  DropObserver m_dropObserver;
  std::vector<Frame> m_stack;
  std::string m_narrow;  // reused for every conversion
  CString m_value;       // reused buffer for the "Value" text
  RecentTextCache<CString> m_labels;
  RecentTextCache<CString> m_names;
  RecentTextCache<CString> m_types;
};

}  // namespace xmlio
}  // namespace corvane
