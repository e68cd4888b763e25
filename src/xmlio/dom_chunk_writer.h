// DomChunkWriter: the writer's walk (see chunk_tree_walk.h) into a pugixml
// element (the protected XmlFileIO::save step; DomChunkReader reads the other
// way): one new child element per chunk, attributes Name, Type, Value (set,
// so writing into an element twice replaces them). A null element still has
// its chunks visited, counted and released. The elements belong to the
// element's document. Exceptions from the progress callback or the
// allocator pass through. One thread at a time.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <boost/shared_ptr.hpp>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "xmlio/chunk_tree_walk.h"
#include "xmlio/progress_run.h"

namespace corvane {
namespace xmlio {

// The walk's output into a pugixml document.
struct DomElementOutput {
  using Element = pugi::xml_node;

  Element Append(Element parent, const std::string& name);
  void Attribute(Element element, std::string_view name, const char* utf8, std::size_t size);
  void Close(Element) {}
};

class DomChunkWriter {
 public:
  explicit DomChunkWriter(ProgressRun& progress) : m_walk(progress, m_output) {}
  DomChunkWriter(const DomChunkWriter&) = delete;
  DomChunkWriter& operator=(const DomChunkWriter&) = delete;

  void Write(boost::shared_ptr<IChunk> chunk, pugi::xml_node element) {
    m_walk.Walk(std::move(chunk), element);
  }

 private:
  DomElementOutput m_output;
  ChunkTreeWalk<DomElementOutput> m_walk;
};

}  // namespace xmlio
}  // namespace corvane
