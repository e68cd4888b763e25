#include "corvane/tree_listing.h"

#include <string>
#include <utility>
#include <vector>

#include "corvane/terminal.h"

namespace corvane {
namespace tool {

unsigned long ListTree(std::FILE* out, const boost::shared_ptr<IChunk>& root, int maxDepth) {
  unsigned long listed = 0;
  // Depth first without recursion: files may nest deeply.
  std::vector<std::pair<IChunk*, int> > pending;
  if (root) pending.emplace_back(root.get(), 0);
  while (!pending.empty()) {
    IChunk* chunk = pending.back().first;
    const int depth = pending.back().second;
    pending.pop_back();
    std::string line(static_cast<std::size_t>(depth) * 2, ' ');
    line += Utf8(chunk->label());
    if (!chunk->name().IsEmpty()) line += " \"" + Utf8(chunk->name()) + "\"";
    if (!chunk->type().IsEmpty()) {
      line += " [" + Utf8(chunk->type()) + "]";
      line += " " + Utf8(chunk->getValueAsString());
    }
    std::fprintf(out, "%s\n", line.c_str());
    ++listed;
    if (maxDepth >= 0 && depth >= maxDepth) continue;
    IChunk::ChildList& children = chunk->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      if (*it) pending.emplace_back(it->get(), depth + 1);
    }
  }
  return listed;
}

}  // namespace tool
}  // namespace corvane
