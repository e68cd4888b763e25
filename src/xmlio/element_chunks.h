// ElementChunks: the chunk one element becomes, from the element's name and
// its "Name", "Type" and "Value" attribute texts as UTF-8, by the
// element-to-chunk rules (chunk/value_parse.h): "att" for an empty name, the
// texts converted to code page 936 ('?' for what it cannot hold), "Value"
// looked at only beside a type. Repeated labels, names and tags share one
// converted text. Shared by both readers; lives on the thread that reads,
// whose chunks come from one arena (chunk/chunk_arena.h) while it lives.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <boost/shared_ptr.hpp>
#include <string>

#include "chunk/chunk_arena.h"
#include "chunk/value_parse.h"
#include "xmlio/recent_text_cache.h"

namespace corvane {
namespace xmlio {

class ElementChunks {
 public:
  // The chunk, or an empty pointer (with `*reason`, when not null, saying why).
  boost::shared_ptr<IChunk> Build(const char* tag, const char* name, const char* type,
                                  const char* value, chunk::DropReason* reason = nullptr);

 private:
  const CString& Narrow(RecentTextCache<CString>& cache, const char* utf8);

  chunk::ChunkArena m_arena;
  std::string m_narrow;  // reused for every conversion
  CString m_value;       // reused buffer for the "Value" text
  RecentTextCache<CString> m_labels;
  RecentTextCache<CString> m_names;
  RecentTextCache<CString> m_types;
};

}  // namespace xmlio
}  // namespace corvane
