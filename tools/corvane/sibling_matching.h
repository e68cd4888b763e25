// Pairs the children of two chunks that match: by label and name, letter
// case ignored as CString::CompareNoCase ignores it, and among children with
// the same label and name by order (the k-th of A with the k-th of B). Keys
// are hashed, so a list of n children costs time in proportion to n; lists
// whose keys already agree position by position (the usual case) are paired
// without building a key at all. Empty child entries are skipped.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <vector>

namespace corvane {
namespace tool {

struct SiblingPair {
  IChunk* a;  // null when only B has the chunk
  IChunk* b;  // null when only A has it
  // 1 for the first child with its label and name in its list, 2 for the
  // next, and so on; 0 until CountOccurrences has filled it in.
  unsigned occurrence;
};

// A's children in A's order, each with its partner in B or none, then B's
// children that have no partner, in B's order.
std::vector<SiblingPair> MatchSiblings(const IChunk::ChildList& a, const IChunk::ChildList& b);

// Fills in the occurrence numbers that MatchSiblings left at 0. Paths need
// them only when something is reported, so the cheap pairing leaves them.
void CountOccurrences(std::vector<SiblingPair>& pairs);

}  // namespace tool
}  // namespace corvane
