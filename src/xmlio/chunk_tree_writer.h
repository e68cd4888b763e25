// ChunkTreeWriter: the writer's walk. Puts one chunk into its element and
// every chunk below it into new child elements, depth first, each chunk
// before its children, and empties each child entry once its subtree is
// written (the tree below the starting chunk is consumed). It keeps its own
// stack, so any depth of tree is safe. A null element (the document refused
// one) still has its chunks visited, counted and released. Exceptions from
// the progress callback or the allocator pass through, leaving the tree
// partly consumed. One thread at a time.
#pragma once

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <pugixml.hpp>

#include <corvane/chunk/ichunk.h>

#include "xmlio/progress_cursor.h"
#include "xmlio/recent_text_cache.h"

namespace corvane {
namespace xmlio {

class ChunkTreeWriter {
 public:
  explicit ChunkTreeWriter(ProgressCursor cursor) : m_cursor(cursor) {}

  void Write(boost::shared_ptr<IChunk> chunk, pugi::xml_node element);

 private:
  struct Frame {
    boost::shared_ptr<IChunk> chunk;  // keeps the chunk alive while its subtree is written
    pugi::xml_node element;
    std::size_t next;  // the children entry being written, or to look at next
  };
  struct ElementName {
    std::string utf8;
    bool valid = false;
  };

  // Counts the chunk and sets its attributes Name, Type, Value (each only
  // when not empty, in that order).
  void Enter(IChunk& chunk, pugi::xml_node element);
  void SetAttribute(pugi::xml_node element, const char* name, const CString& value);
  // A new last child of `parent` named by the label ("att" when empty), or a
  // null node when the label is not an XML name.
  pugi::xml_node AppendElement(pugi::xml_node parent, const CString& label);

  ProgressCursor m_cursor;
  std::vector<Frame> m_stack;
  std::string m_utf8;  // reused for every attribute value
  RecentTextCache<ElementName> m_names;
};

}  // namespace xmlio
}  // namespace corvane
