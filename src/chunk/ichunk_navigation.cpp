// Appending, reaching, counting and removing the children of an IChunk.
// Lookups by name or label ignore ASCII letter case, skip empty entries and
// take the first match from position 0.
#include <corvane/chunk/ichunk.h>

#include <utility>
#include <vector>

namespace {

enum class Field { kName, kLabel };

IChunk::ChildList::iterator FindFirst(IChunk::ChildList& children, const CString& text,
                                      Field field) {
  for (auto it = children.begin(); it != children.end(); ++it) {
    if (!*it) continue;
    const CString& value = field == Field::kName ? (*it)->name() : (*it)->label();
    if (value.CompareNoCase(text) == 0) return it;
  }
  return children.end();
}

bool EraseFirst(IChunk::ChildList& children, const CString& text, Field field) {
  const auto it = FindFirst(children, text, field);
  if (it == children.end()) return false;
  // Take the entry out before it is released, so the list is consistent
  // while the removed subtree is destroyed.
  boost::shared_ptr<IChunk> removed = std::move(*it);
  children.erase(it);
  return true;
}

}  // namespace

void IChunk::addChild(boost::shared_ptr<IChunk> child) {
  if (child) m_children.push_back(std::move(child));
}

void IChunk::allNumChild(unsigned int& counter) {
  // An explicit stack instead of recursion: a host-built tree may be deeper
  // than the call stack allows.
  std::vector<IChunk*> pending(1, this);
  while (!pending.empty()) {
    IChunk* chunk = pending.back();
    pending.pop_back();
    counter += chunk->numChild();
    for (const boost::shared_ptr<IChunk>& child : chunk->m_children) {
      if (child) pending.push_back(child.get());
    }
  }
}

boost::shared_ptr<IChunk> IChunk::Child(unsigned int position) { return m_children[position]; }

boost::shared_ptr<IChunk> IChunk::operator[](unsigned int position) {
  if (position >= m_children.size()) return boost::shared_ptr<IChunk>();
  return m_children[position];
}

boost::shared_ptr<IChunk> IChunk::ChildByName(const CString& name) {
  const auto it = FindFirst(m_children, name, Field::kName);
  return it == m_children.end() ? boost::shared_ptr<IChunk>() : *it;
}

boost::shared_ptr<IChunk> IChunk::ChildByLabel(const CString& label) {
  const auto it = FindFirst(m_children, label, Field::kLabel);
  return it == m_children.end() ? boost::shared_ptr<IChunk>() : *it;
}

bool IChunk::erase(unsigned int position) {
  if (position >= m_children.size()) return false;
  boost::shared_ptr<IChunk> removed = std::move(m_children[position]);
  m_children.erase(m_children.begin() + position);
  return true;
}

bool IChunk::eraseName(const CString& name) { return EraseFirst(m_children, name, Field::kName); }

bool IChunk::eraseLabel(const CString& label) {
  return EraseFirst(m_children, label, Field::kLabel);
}
