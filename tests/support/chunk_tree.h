// Test helper: what a chunk tree holds, for comparing trees in tests and in
// the fuzz targets. Empty child entries are not chunks.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <boost/shared_ptr.hpp>
#include <cstddef>
#include <string>
#include <vector>

namespace corvane_test {

// Calls `visit(IChunk&)` for every chunk of the tree, without recursion: a
// hostile tree may nest far deeper than a stack would take.
template <typename Visit>
void ForEachChunk(const boost::shared_ptr<IChunk>& root, Visit visit) {
  std::vector<boost::shared_ptr<IChunk> > pending{root};
  while (!pending.empty()) {
    const boost::shared_ptr<IChunk> chunk = pending.back();
    pending.pop_back();
    if (!chunk) continue;
    visit(*chunk);
    pending.insert(pending.end(), chunk->children().begin(), chunk->children().end());
  }
}

inline std::size_t ChunkCount(const boost::shared_ptr<IChunk>& root) {
  std::size_t count = 0;
  ForEachChunk(root, [&count](IChunk&) { ++count; });
  return count;
}

// A tree as "label:name:type=text(children)", the parts left out when empty;
// "" for an empty pointer. Trees read from files nest at most 256 deep.
inline std::string Outline(const boost::shared_ptr<IChunk>& chunk) {
  if (!chunk) return std::string();
  std::string text = chunk->label().GetString();
  if (!chunk->name().IsEmpty()) text += std::string(":") + chunk->name().GetString();
  if (!chunk->type().IsEmpty()) text += std::string(":") + chunk->type().GetString() + "=";
  text += chunk->getValueAsString().GetString();
  const auto& children = chunk->children();
  for (std::size_t i = 0; i < children.size(); ++i)
    text += (i == 0 ? "(" : " ") + Outline(children[i]);
  return children.empty() ? text : text + ")";
}

}  // namespace corvane_test
