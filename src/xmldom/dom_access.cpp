#include "xmldom/dom_access.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace corvane {
namespace xmldom {

pugi::xml_node DomAccess::Handle(const DomXml::CXmlNode& node) {
  return pugi::xml_node(static_cast<pugi::xml_node_struct*>(node.m_node));
}

std::tr1::shared_ptr<DomXml::CXmlNode> DomAccess::Wrap(pugi::xml_node node,
                                                       const std::tr1::shared_ptr<void>& document) {
  std::tr1::shared_ptr<DomXml::CXmlNode> wrapper(new DomXml::CXmlNode);
  if (node) {
    wrapper->m_node = node.internal_object();
    wrapper->m_document = document;
  }
  return wrapper;
}

DocumentHolder* DomAccess::Holder(const DomXml::CXml& xml) {
  return static_cast<DocumentHolder*>(xml.m_document.get());
}

DocumentHolder* DomAccess::FreshDocument(DomXml::CXml& xml, const char* path) {
  const CString stored(path);  // copied first: `path` may live in the object being reset
  if (!xml.CreateDocument()) return nullptr;
  xml.m_path = stored;
  return Holder(xml);
}

bool LoadDocument(DomXml::CXml& xml, const char* path, std::string bytes, ParseFailure* failure) {
  ParseFailure ignored;
  ParseFailure& reason = failure != nullptr ? *failure : ignored;
  DocumentHolder* holder = DomAccess::FreshDocument(xml, path);
  if (holder == nullptr) throw std::bad_alloc();
  if (!DecodeDocument(bytes, reason)) return false;
  // The conforming parser decided on these bytes; pugixml builds the tree
  // from their text, in place.
  holder->buffer = std::move(bytes);
  const pugi::xml_parse_result result = holder->document.load_buffer_inplace(
      &holder->buffer[0], holder->buffer.size(), pugi::parse_default, pugi::encoding_utf8);
  if (result && holder->document.document_element()) return true;
  reason.reason = result.description();
  holder->document.reset();
  std::string().swap(holder->buffer);
  return false;
}

bool SerializeDocument(const pugi::xml_document& document, TextSink& sink) {
  const pugi::xml_node root = document.document_element();
  if (!root) return false;
  XmlTextOutput output(&sink);
  // An explicit stack: a document built node by node may nest without limit.
  struct Frame {
    pugi::xml_node node;
    XmlTextOutput::Element element;
    pugi::xml_node next;  // the next child to write
  };
  std::vector<Frame> stack;
  const auto open = [&](pugi::xml_node node, XmlTextOutput::Element element) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
      output.Attribute(element, a.name(), a.value(), std::strlen(a.value()));
    }
    stack.push_back(Frame{node, element, node.first_child()});
  };
  open(root, output.Root(root.name()));
  while (!stack.empty()) {
    Frame& top = stack.back();
    const pugi::xml_node child = top.next;
    if (!child) {
      output.Close(top.element);
      stack.pop_back();
      continue;
    }
    top.next = child.next_sibling();
    const char* value = child.value();
    switch (child.type()) {
      case pugi::node_element:
        open(child, output.Append(top.element, child.name()));
        break;
      case pugi::node_pcdata:
        output.Text(value, std::strlen(value));
        break;
      case pugi::node_cdata:
        output.CData(value, std::strlen(value));
        break;
      default:  // the loader keeps no comments, instructions or declarations
        break;
    }
  }
  output.Flush();
  return true;
}

}  // namespace xmldom
}  // namespace corvane
