#include "xmlio/chunk_tree_writer.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "platform/codepage.h"
#include "xmldom/xml_name.h"

namespace corvane {
namespace xmlio {

void ChunkTreeWriter::Write(boost::shared_ptr<IChunk> chunk, pugi::xml_node element) {
  if (!chunk) return;
  Enter(*chunk, element);
  m_stack.clear();
  m_stack.push_back(Frame{std::move(chunk), element, 0});
  while (!m_stack.empty()) {
    Frame& top = m_stack.back();
    // The list is looked at afresh on every step: a callback may change it.
    IChunk::ChildList& children = top.chunk->children();
    while (top.next < children.size() && !children[top.next]) ++top.next;
    if (top.next >= children.size()) {
      m_stack.pop_back();
      if (!m_stack.empty()) {
        Frame& parent = m_stack.back();
        IChunk::ChildList& siblings = parent.chunk->children();
        if (parent.next < siblings.size()) siblings[parent.next].reset();
        ++parent.next;
      }
      continue;
    }
    boost::shared_ptr<IChunk> child = children[top.next];
    pugi::xml_node childElement = AppendElement(top.element, child->label());
    Enter(*child, childElement);
    m_stack.push_back(Frame{std::move(child), childElement, 0});
  }
}

void ChunkTreeWriter::Enter(IChunk& chunk, pugi::xml_node element) {
  m_cursor.Step();
  CString value = chunk.getValueAsString();
  if (!chunk.name().IsEmpty()) SetAttribute(element, "Name", chunk.name());
  if (!chunk.type().IsEmpty()) SetAttribute(element, "Type", chunk.type());
  if (!value.IsEmpty()) SetAttribute(element, "Value", value);
}

void ChunkTreeWriter::SetAttribute(pugi::xml_node element, const char* name, const CString& value) {
  if (!element) return;
  // The text ends at its first NUL, as everywhere at the document boundary.
  const char* text = value.GetString();
  const std::size_t length = strnlen(text, static_cast<std::size_t>(value.GetLength()));
  pugi::xml_attribute attribute = element.append_attribute(name);
  if (codepage::IsAscii(text, length)) {
    attribute.set_value(text, length);  // ASCII is already UTF-8
    return;
  }
  m_utf8.clear();
  codepage::AppendNarrowAsUtf8(m_utf8, text, length);
  attribute.set_value(m_utf8.data(), m_utf8.size());
}

pugi::xml_node ChunkTreeWriter::AppendElement(pugi::xml_node parent, const CString& label) {
  std::string_view narrow = label.IsEmpty() ? std::string_view("att")
                                            : std::string_view(label.GetString(), label.GetLength());
  bool fresh = false;
  ElementName& name = m_names.Lookup(narrow, &fresh);
  if (fresh) {
    name.utf8.clear();
    codepage::AppendNarrowAsUtf8(name.utf8, narrow.data(), narrow.size());
    name.valid = DomXml::IsXmlName(name.utf8);
  }
  if (!name.valid || !parent) return pugi::xml_node();
  pugi::xml_node child = parent.append_child(pugi::node_element);
  child.set_name(name.utf8.c_str());
  return child;
}

}  // namespace xmlio
}  // namespace corvane
