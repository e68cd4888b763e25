// Compares two chunk trees as a host reading them sees them. Siblings are
// matched by label and name, letter case ignored as the library's lookups
// ignore it (CString::CompareNoCase: ASCII letters of single-byte characters
// only), and among siblings of the same label and name by their order: the
// k-th of A with the k-th of B. So one chunk inserted early is one
// difference, not a shift of every later sibling. Matched chunks differ when
// their type tags differ or, with the same tag, their value texts
// (getValueAsString, what a save writes). A chunk that only one tree has is
// one difference; what is below it is not compared. Each sibling list costs
// time in proportion to its length (keys are hashed per parent), and the walk
// keeps its own stack, so any tree size and depth is safe. Trees are only read.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <boost/shared_ptr.hpp>
#include <functional>
#include <string>

namespace corvane {
namespace tool {

enum class DifferenceKind { kOnlyInA, kOnlyInB, kTypeChanged, kValueChanged };

struct Difference {
  DifferenceKind kind;
  // The labels from the root down, each with ["name"] when it has one, as
  // UTF-8; the k-th of siblings with the same label and name (k >= 2) ends
  // its step with #k: /FILE_CONVERT/Entitys/Entity["E7"]#2. A's spelling,
  // or B's for a chunk only B has.
  std::string path;
  IChunk* a;  // null when only B has the chunk
  IChunk* b;  // null when only A has it
};

// Answers false to stop the walk.
typedef std::function<bool(const Difference&)> DifferenceObserver;

// Reports the differences depth first: under each matched pair, A's children
// in A's order (each matched one followed by what differs below it), then the
// children only B has, in B's order. Either root may be empty (a tree that
// loading left without its document element). Answers false when the
// observer stopped the walk.
bool DiffTrees(const boost::shared_ptr<IChunk>& a, const boost::shared_ptr<IChunk>& b,
               const DifferenceObserver& observer);

}  // namespace tool
}  // namespace corvane
