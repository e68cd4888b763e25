// ChunkTreeWalk: the writer's walk, shared by its two outputs (a DOM element
// and the streamed file text). Puts one chunk into its element and every
// chunk below it into new child elements, depth first, each chunk before its
// children, and empties each child entry once its subtree is written (the
// tree below the starting chunk is consumed). It keeps its own stack, so any
// depth of tree is safe. A chunk whose label is not an XML name, or that
// would be nested deeper than kMaxElementDepth, gets no element; it and its
// subtree are still visited, counted and released. An
// attribute whose text XML cannot carry (a control character other than
// tab, line feed, carriage return) is left out, as the DOM layer refuses it.
// Exceptions from the progress callback or the allocator pass through,
// leaving the tree partly consumed. One thread at a time.
//
// Output supplies: a copyable `Element` handle that tests false when null;
// `Append(parent, utf8Name)` giving a new last child element of a non-null
// parent; `Attribute(element, name, utf8, size)` setting an attribute of the
// element just appended (`name` is a literal, so also NUL-terminated);
// `Close(element)` once a non-null element's subtree is done.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/extras/chunk_file_format.h>

#include <boost/shared_ptr.hpp>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chunk/value_text.h"
#include "platform/codepage.h"
#include "xmldom/xml_name.h"
#include "xmldom/xml_parser.h"
#include "xmlio/progress_run.h"
#include "xmlio/recent_text_cache.h"

namespace corvane {
namespace xmlio {

template <class Output>
class ChunkTreeWalk {
 public:
  using Element = typename Output::Element;

  ChunkTreeWalk(ProgressRun& progress, Output& output) : m_progress(progress), m_output(output) {}

  void Walk(boost::shared_ptr<IChunk> chunk, Element element) {
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
        if (top.element) m_output.Close(top.element);
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
      // The child's element would be at depth m_stack.size() + 1; a file any
      // deeper would be refused by every reader, the library's own included.
      Element childElement = m_stack.size() < static_cast<std::size_t>(xmldom::kMaxElementDepth)
                                 ? AppendElement(top.element, child->label())
                                 : Element();
      Enter(*child, childElement);
      m_stack.push_back(Frame{std::move(child), childElement, 0});
    }
  }

 private:
  struct Frame {
    boost::shared_ptr<IChunk> chunk;  // keeps the chunk alive while its subtree is written
    Element element;
    std::size_t next;  // the children entry being written, or to look at next
  };
  struct ElementName {
    std::string utf8;
    bool valid = false;
  };

  // Counts the chunk and gives its element the attributes Name, Type, Value
  // (each only when not empty, in that order).
  void Enter(IChunk& chunk, Element element) {
    m_progress.Step();
    if (!element) return;
    const CString& name = chunk.name();
    if (!name.IsEmpty())
      Attribute(element, kNameAttribute, name.GetString(),
                static_cast<std::size_t>(name.GetLength()));
    const CString& type = chunk.type();
    if (!type.IsEmpty())
      Attribute(element, kTypeAttribute, type.GetString(),
                static_cast<std::size_t>(type.GetLength()));
    const std::string_view value = chunk::FormatValueText(chunk, m_valueText);
    if (!value.empty()) Attribute(element, kValueAttribute, value.data(), value.size());
  }

  void Attribute(Element element, std::string_view name, const char* text, std::size_t size) {
    // The text ends at its first NUL, as everywhere at the document boundary.
    const std::size_t length = strnlen(text, size);
    if (!xmldom::IsAttributeText(std::string_view(text, length))) return;
    if (platform::IsAscii(text, length)) {
      m_output.Attribute(element, name, text, length);  // ASCII is already UTF-8
      return;
    }
    m_utf8.clear();
    platform::AppendNarrowAsUtf8(m_utf8, text, length);
    m_output.Attribute(element, name, m_utf8.data(), m_utf8.size());
  }

  // A new last child of `parent` named by the label (the stand-in when empty), or a
  // null element when the label is not an XML name.
  Element AppendElement(Element parent, const CString& label) {
    // The label ends at its first NUL, as a name passed to the DOM layer does.
    std::string_view narrow = label.IsEmpty() ? std::string_view(kEmptyLabelStandIn)
                                              : std::string_view(label.GetString());
    bool fresh = false;
    ElementName& name = m_names.Lookup(narrow, &fresh);
    if (fresh) {
      name.valid = xmldom::NarrowNameToUtf8(narrow.data(), narrow.size(), name.utf8);
    }
    if (!name.valid || !parent) return Element();
    return m_output.Append(parent, name.utf8);
  }

  ProgressRun& m_progress;
  Output& m_output;
  std::vector<Frame> m_stack;
  std::string m_utf8;                  // reused for every attribute value
  chunk::ValueTextBuffer m_valueText;  // reused for every number's text
  RecentTextCache<ElementName> m_names;
};

}  // namespace xmlio
}  // namespace corvane
