// DomChunkReader: the chunk tree of one element of a loaded document (the
// protected XmlFileIO::read step; DomChunkWriter writes the other way).
// Builds the element's chunk, assigns it to the target pointer (empty when
// the element is left out), then the children depth first, appending each
// child to its parent. Elements left out are skipped with their subtrees,
// uncounted. Its own stack makes any depth safe. Exceptions from the
// progress callback or the allocator pass through. One thread at a time.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <boost/shared_ptr.hpp>
#include <pugixml.hpp>

#include "xmlio/element_chunks.h"
#include "xmlio/progress_run.h"

namespace corvane {
namespace xmlio {

class DomChunkReader {
 public:
  explicit DomChunkReader(ProgressRun& progress) : m_progress(progress) {}
  void Read(boost::shared_ptr<IChunk>& target, pugi::xml_node element);

 private:
  boost::shared_ptr<IChunk> Build(pugi::xml_node element);

  ProgressRun& m_progress;
  ElementChunks m_chunks;
};

}  // namespace xmlio
}  // namespace corvane
