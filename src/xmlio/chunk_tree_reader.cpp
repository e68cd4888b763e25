#include "xmlio/chunk_tree_reader.h"

#include <climits>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/codepage.h"

namespace corvane {
namespace xmlio {
namespace {

pugi::xml_node FirstElementChild(pugi::xml_node node) {
  pugi::xml_node child = node.first_child();
  while (child && child.type() != pugi::node_element) child = child.next_sibling();
  return child;
}

pugi::xml_node NextElementSibling(pugi::xml_node node) {
  pugi::xml_node sibling = node.next_sibling();
  while (sibling && sibling.type() != pugi::node_element) sibling = sibling.next_sibling();
  return sibling;
}

}  // namespace

unsigned int CountDescendantElements(pugi::xml_node element) {
  unsigned int count = 0;
  if (!element) return count;
  // Document-order walk by links alone: no recursion, no allocation.
  pugi::xml_node node = FirstElementChild(element);
  while (node) {
    ++count;
    pugi::xml_node next = FirstElementChild(node);
    if (!next) {
      while (node != element) {
        next = NextElementSibling(node);
        if (next) break;
        node = node.parent();
      }
    }
    node = next;
  }
  return count;
}

void ChunkTreeReader::Read(boost::shared_ptr<IChunk>& target, pugi::xml_node element) {
  target = Build(element);
  if (!target) return;
  m_stack.clear();
  m_stack.push_back(Frame{target, FirstElementChild(element)});
  while (!m_stack.empty()) {
    Frame& top = m_stack.back();
    if (!top.nextChild) {
      boost::shared_ptr<IChunk> done = std::move(top.chunk);
      m_stack.pop_back();
      if (!m_stack.empty()) m_stack.back().chunk->children().push_back(std::move(done));
      continue;
    }
    pugi::xml_node childElement = top.nextChild;
    top.nextChild = NextElementSibling(childElement);
    boost::shared_ptr<IChunk> child = Build(childElement);
    if (child) m_stack.push_back(Frame{std::move(child), FirstElementChild(childElement)});
  }
}

boost::shared_ptr<IChunk> ChunkTreeReader::Build(pugi::xml_node element) {
  m_cursor.Step();
  // The first attribute of each name counts; any other attribute is ignored.
  pugi::xml_attribute nameAttribute, typeAttribute, valueAttribute;
  for (pugi::xml_attribute attribute = element.first_attribute(); attribute;
       attribute = attribute.next_attribute()) {
    const char* attributeName = attribute.name();
    if (!nameAttribute && std::strcmp(attributeName, "Name") == 0) {
      nameAttribute = attribute;
    } else if (!typeAttribute && std::strcmp(attributeName, "Type") == 0) {
      typeAttribute = attribute;
    } else if (!valueAttribute && std::strcmp(attributeName, "Value") == 0) {
      valueAttribute = attribute;
    }
  }
  static const CString kEmptyLabelStandIn("att");
  const char* tag = element.name();
  CString label = *tag == '\0' ? kEmptyLabelStandIn : Narrow(m_labels, tag);
  CString name = Narrow(m_names, nameAttribute.value());
  CString type = Narrow(m_types, typeAttribute.value());
  // "Value" matters only beside a type.
  static const CString kNoValue;
  const char* utf8 = valueAttribute.value();
  if (type.IsEmpty() || *utf8 == '\0') return ChunkFromElement(label, name, type, kNoValue);
  const std::size_t utf8Length = std::strlen(utf8);
  const char* narrow = utf8;
  std::size_t narrowLength = utf8Length;
  if (!codepage::IsAscii(utf8, utf8Length)) {
    m_narrow.clear();
    codepage::AppendUtf8AsNarrow(m_narrow, utf8, utf8Length);
    narrow = m_narrow.data();
    narrowLength = m_narrow.size();
  }
  // Refills the same buffer each time unless a chunk kept a share of it.
  // A CString holds at most INT_MAX bytes; a longer text is cut there.
  const int length = narrowLength > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                                       : static_cast<int>(narrowLength);
  std::memcpy(m_value.GetBufferSetLength(length), narrow, static_cast<std::size_t>(length));
  m_value.ReleaseBuffer(length);
  if (!m_dropObserver) return ChunkFromElement(label, name, type, m_value);
  DropReason reason = DropReason::kNone;
  boost::shared_ptr<IChunk> chunk = ChunkFromElement(label, name, type, m_value, &reason);
  if (!chunk) m_dropObserver(element, reason);
  return chunk;
}

const CString& ChunkTreeReader::Narrow(RecentTextCache<CString>& cache, const char* utf8) {
  static const CString kEmpty;
  if (*utf8 == '\0') return kEmpty;
  std::string_view key(utf8);
  bool fresh = false;
  CString& text = cache.Lookup(key, &fresh);
  if (fresh) {
    m_narrow.clear();
    codepage::AppendUtf8AsNarrow(m_narrow, key.data(), key.size());
    text = CString(m_narrow.data(), static_cast<int>(m_narrow.size()));
  }
  return text;
}

}  // namespace xmlio
}  // namespace corvane
