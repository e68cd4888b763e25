#include "corvane/tree_diff.h"

#include <corvane/extras/chunk_file_format.h>

#include <string>
#include <vector>

#include "corvane/sibling_matching.h"
#include "corvane/terminal.h"

namespace corvane {
namespace tool {
namespace {

// One sibling list being walked: the pair at next - 1 is the one being
// looked at, so the frames on the stack spell the path to it.
struct Frame {
  std::vector<SiblingPair> pairs;
  std::size_t next = 0;
};

class TreeDiff {
 public:
  explicit TreeDiff(const DifferenceObserver& observer) : m_observer(observer) {}

  bool Run(const boost::shared_ptr<IChunk>& a, const boost::shared_ptr<IChunk>& b) {
    IChunk::ChildList rootsA, rootsB;
    if (a) rootsA.push_back(a);
    if (b) rootsB.push_back(b);
    m_frames.push_back(Frame{MatchSiblings(rootsA, rootsB)});
    while (!m_frames.empty()) {
      Frame& top = m_frames.back();
      if (top.next == top.pairs.size()) {
        m_frames.pop_back();
        continue;
      }
      const SiblingPair pair = top.pairs[top.next++];
      if (!Visit(pair)) return false;
    }
    return true;
  }

 private:
  bool Visit(const SiblingPair& pair) {
    if (pair.b == nullptr) return Report(DifferenceKind::kOnlyInA, pair);
    if (pair.a == nullptr) return Report(DifferenceKind::kOnlyInB, pair);
    if (pair.a->type() != pair.b->type()) {
      if (!Report(DifferenceKind::kTypeChanged, pair)) return false;
    } else if (pair.a->getValueAsString() != pair.b->getValueAsString()) {
      if (!Report(DifferenceKind::kValueChanged, pair)) return false;
    }
    if (pair.a->numChild() > 0 || pair.b->numChild() > 0) {
      m_frames.push_back(Frame{MatchSiblings(pair.a->children(), pair.b->children())});
    }
    return true;
  }

  bool Report(DifferenceKind kind, const SiblingPair& pair) {
    return m_observer(Difference{kind, Path(), pair.a, pair.b});
  }

  // The path of the pair being looked at: one step per frame.
  std::string Path() {
    std::string path;
    for (Frame& frame : m_frames) {
      CountOccurrences(frame.pairs);
      const SiblingPair& pair = frame.pairs[frame.next - 1];
      IChunk& chunk = pair.a != nullptr ? *pair.a : *pair.b;
      xmlio::AppendPathStep(path, Utf8(chunk.label()), Utf8(chunk.name()));
      if (pair.occurrence > 1) path += '#' + std::to_string(pair.occurrence);
    }
    return path;
  }

  const DifferenceObserver& m_observer;
  std::vector<Frame> m_frames;
};

}  // namespace

bool DiffTrees(const boost::shared_ptr<IChunk>& a, const boost::shared_ptr<IChunk>& b,
               const DifferenceObserver& observer) {
  return TreeDiff(observer).Run(a, b);
}

}  // namespace tool
}  // namespace corvane
