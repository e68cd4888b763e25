#include "corvane/sibling_matching.h"

#include <string>
#include <unordered_map>

namespace corvane {
namespace tool {
namespace {

// Label and name folded as CompareNoCase folds them, joined by a NUL (no
// loaded text holds one: loading ends every text at its first).
std::string SiblingKey(IChunk& chunk) {
  CString label = chunk.label();
  CString name = chunk.name();
  label.MakeLower();
  name.MakeLower();
  std::string key(label.GetString(), static_cast<std::size_t>(label.GetLength()));
  key += '\0';
  key.append(name.GetString(), static_cast<std::size_t>(name.GetLength()));
  return key;
}

bool SameKey(IChunk& a, IChunk& b) {
  return a.label().CompareNoCase(b.label()) == 0 && a.name().CompareNoCase(b.name()) == 0;
}

// Both lists with the same keys in the same places: the k-th of every key is
// at the same place in both, so each child pairs with the one across.
bool KeysAgreeInPlace(const IChunk::ChildList& a, const IChunk::ChildList& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!a[i] || !b[i] || !SameKey(*a[i], *b[i])) return false;
  }
  return true;
}

struct Slot {
  std::vector<std::size_t> inB;  // B's children with this key, in order
  std::size_t takenByA = 0;      // how many of A's children had this key so far
};

std::vector<SiblingPair> MatchByKey(const IChunk::ChildList& a, const IChunk::ChildList& b) {
  std::unordered_map<std::string, Slot> slots;
  slots.reserve(b.size());
  std::vector<unsigned> occurrenceInB(b.size(), 0);
  for (std::size_t j = 0; j < b.size(); ++j) {
    if (!b[j]) continue;
    Slot& slot = slots[SiblingKey(*b[j])];
    slot.inB.push_back(j);
    occurrenceInB[j] = static_cast<unsigned>(slot.inB.size());
  }
  std::vector<SiblingPair> pairs;
  pairs.reserve(a.size() + b.size());
  std::vector<bool> matchedB(b.size(), false);
  for (const boost::shared_ptr<IChunk>& child : a) {
    if (!child) continue;
    Slot& slot = slots[SiblingKey(*child)];
    const std::size_t k = slot.takenByA++;
    IChunk* partner = nullptr;
    if (k < slot.inB.size()) {
      matchedB[slot.inB[k]] = true;
      partner = b[slot.inB[k]].get();
    }
    pairs.push_back(SiblingPair{child.get(), partner, static_cast<unsigned>(k + 1)});
  }
  for (std::size_t j = 0; j < b.size(); ++j) {
    if (b[j] && !matchedB[j]) pairs.push_back(SiblingPair{nullptr, b[j].get(), occurrenceInB[j]});
  }
  return pairs;
}

}  // namespace

std::vector<SiblingPair> MatchSiblings(const IChunk::ChildList& a, const IChunk::ChildList& b) {
  if (!KeysAgreeInPlace(a, b)) return MatchByKey(a, b);
  std::vector<SiblingPair> pairs;
  pairs.reserve(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    pairs.push_back(SiblingPair{a[i].get(), b[i].get(), 0});
  }
  return pairs;
}

void CountOccurrences(std::vector<SiblingPair>& pairs) {
  if (pairs.empty() || pairs.front().occurrence != 0) return;
  // Only lists paired in place come here: every pair has both sides.
  std::unordered_map<std::string, unsigned> seen;
  for (SiblingPair& pair : pairs) pair.occurrence = ++seen[SiblingKey(*pair.a)];
}

}  // namespace tool
}  // namespace corvane
