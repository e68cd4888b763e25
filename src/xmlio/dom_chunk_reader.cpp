#include "xmlio/dom_chunk_reader.h"

#include <corvane/extras/chunk_file_format.h>

#include <cstring>
#include <utility>
#include <vector>

namespace corvane {
namespace xmlio {
namespace {

pugi::xml_node NextElement(pugi::xml_node node) {
  while (node && node.type() != pugi::node_element) node = node.next_sibling();
  return node;
}

}  // namespace

void DomChunkReader::Read(boost::shared_ptr<IChunk>& target, pugi::xml_node element) {
  target = Build(element);
  if (!target) return;
  struct Frame {
    IChunk* chunk;
    pugi::xml_node nextChild;  // the next element child still to read
  };
  std::vector<Frame> stack{Frame{target.get(), NextElement(element.first_child())}};
  while (!stack.empty()) {
    Frame& top = stack.back();
    const pugi::xml_node child = top.nextChild;
    if (!child) {
      stack.pop_back();
      continue;
    }
    top.nextChild = NextElement(child.next_sibling());
    boost::shared_ptr<IChunk> chunk = Build(child);
    if (!chunk) continue;
    IChunk* built = chunk.get();
    top.chunk->children().push_back(std::move(chunk));
    stack.push_back(Frame{built, NextElement(child.first_child())});
  }
}

boost::shared_ptr<IChunk> DomChunkReader::Build(pugi::xml_node element) {
  m_progress.Step();
  return m_chunks.Build(element.name(), element.attribute(kNameAttribute).value(),
                        element.attribute(kTypeAttribute).value(),
                        element.attribute(kValueAttribute).value());
}

}  // namespace xmlio
}  // namespace corvane
