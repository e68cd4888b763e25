#include <corvane/xmldom/xml_node.h>

#include <memory>
#include <new>

#include "xmldom/dom_access.h"
#include "xmldom/narrow_text.h"
#include "xmldom/node_list.h"
#include "xmldom/xml_name.h"

namespace DomXml {
namespace {

// The prefix bound to the XML namespace itself, which is never declared.
constexpr const char kXmlPrefix[] = "xml";
constexpr const char kXmlnsPrefix[] = "xmlns";

bool IsElement(pugi::xml_node node) { return node.type() == pugi::node_element; }

bool IsPlainName(const std::string& name) {
  return IsXmlName(name) && name.find(':') == std::string::npos;
}

// Makes `prefix` stand for `uri` on `element`: nothing to do when an
// ancestor-or-self already binds it so; a new declaration on the element
// otherwise. False when the element itself binds the prefix to another URI.
bool BindPrefix(pugi::xml_node element, const std::string& prefix, const std::string& uri) {
  if (prefix == kXmlPrefix || prefix == kXmlnsPrefix) return true;
  const std::string declaration = std::string(kXmlnsPrefix) + ":" + prefix;
  for (pugi::xml_node scope = element; scope && IsElement(scope); scope = scope.parent()) {
    const pugi::xml_attribute bound = scope.attribute(declaration.c_str());
    if (!bound) continue;
    if (uri == bound.value()) return true;
    if (scope == element) return false;
    break;
  }
  return element.append_attribute(declaration.c_str()).set_value(uri.c_str());
}

}  // namespace

CXmlNode::CXmlNode() : m_node(nullptr) {}

CXmlNode::~CXmlNode() {}

std::tr1::shared_ptr<CXmlNode> CXmlNode::NewChild(CString name) {
  std::tr1::shared_ptr<CXmlNode> result(new CXmlNode);
  pugi::xml_node self = NodeAccess::Handle(*this);
  if (!IsElement(self)) return result;
  try {
    const std::string engineName = NarrowToEngine(name);
    if (!IsXmlName(engineName)) return result;
    const pugi::xml_node child = self.append_child(engineName.c_str());
    if (child) {
      result->m_node = child.internal_object();
      result->m_document = m_document;
    }
  } catch (const std::bad_alloc&) {
  }
  return result;
}

CString CXmlNode::GetName() {
  try {
    return EngineToNarrow(NodeAccess::Handle(*this).name());
  } catch (const std::bad_alloc&) {
    return CString();
  }
}

CString CXmlNode::GetAttribute(CString name) {
  CString value;
  GetAttribute(name, value);
  return value;
}

bool CXmlNode::GetAttribute(const CString& name, CString& value) {
  const pugi::xml_node self = NodeAccess::Handle(*this);
  if (!IsElement(self)) return false;
  try {
    const pugi::xml_attribute attribute = self.attribute(NarrowToEngine(name).c_str());
    value = attribute ? EngineToNarrow(attribute.value()) : CString();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CXmlNode::SetAttribute(CString name, const char* value, CString prefix, CString namespaceURI) {
  pugi::xml_node self = NodeAccess::Handle(*this);
  if (!IsElement(self)) return false;
  try {
    const std::string localName = NarrowToEngine(name);
    const std::string enginePrefix = NarrowToEngine(prefix);
    const std::string uri = NarrowToEngine(namespaceURI);
    if (!IsPlainName(localName)) return false;
    std::string qualifiedName = localName;
    if (!enginePrefix.empty()) {
      // A prefix means nothing without the namespace it stands for.
      if (!IsPlainName(enginePrefix) || uri.empty()) return false;
      if (!BindPrefix(self, enginePrefix, uri)) return false;
      qualifiedName = enginePrefix + ":" + localName;
    }
    pugi::xml_attribute attribute = self.attribute(qualifiedName.c_str());
    if (!attribute) attribute = self.append_attribute(qualifiedName.c_str());
    return attribute && attribute.set_value(NarrowToEngine(value).c_str());
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::tr1::shared_ptr<CXmlNodes> CXmlNode::GetChildElements() {
  std::tr1::shared_ptr<CXmlNodes> result(new CXmlNodes);
  const pugi::xml_node self = NodeAccess::Handle(*this);
  if (!self) return result;
  try {
    std::unique_ptr<CXmlNodes::List> list(new CXmlNodes::List);
    for (pugi::xml_node child = self.first_child(); child; child = child.next_sibling()) {
      if (IsElement(child)) list->nodes.push_back(child);
    }
    list->document = m_document;
    result->m_list = list.release();
  } catch (const std::bad_alloc&) {
  }
  return result;
}

}  // namespace DomXml
