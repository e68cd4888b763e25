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
    // Piece by piece: a value may be as large as the file, and one copy of
    // its text is all a line may cost.
    std::fprintf(out, "%*s%s", depth * 2, "", Utf8(chunk->label()).c_str());
    if (!chunk->name().IsEmpty()) std::fprintf(out, " \"%s\"", Utf8(chunk->name()).c_str());
    if (!chunk->type().IsEmpty()) {
      std::fprintf(out, " [%s] ", Utf8(chunk->type()).c_str());
      WriteUtf8(out, chunk->getValueAsString());
    }
    std::fputc('\n', out);
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
