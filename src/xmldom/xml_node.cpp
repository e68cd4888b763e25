#include <corvane/xmldom/xml_node.h>

#include <cstring>
#include <memory>
#include <new>

#include "xmldom/dom_access.h"
#include "xmldom/narrow_text.h"
#include "xmldom/node_list.h"
#include "xmldom/xml_name.h"
#include "xmldom/xml_parser.h"

namespace DomXml {
namespace {

using corvane::xmldom::DomAccess;
using corvane::xmldom::EngineToNarrow;
using corvane::xmldom::NarrowToEngine;

// A narrow name as the engine's UTF-8; false when it is no XML name.
bool EngineName(const CString& name, std::string& utf8) {
  return corvane::xmldom::NarrowNameToUtf8(name.GetString(),
                                           static_cast<std::size_t>(name.GetLength()), utf8);
}

// The prefix bound to the XML namespace itself, which is never declared, and
// the one that declares namespaces, which no attribute may use.
constexpr const char kXmlPrefix[] = "xml";
constexpr const char kXmlNamespace[] = "http://www.w3.org/XML/1998/namespace";
constexpr const char kXmlnsPrefix[] = "xmlns";

bool IsElement(pugi::xml_node node) { return node.type() == pugi::node_element; }

// The document element is at depth 1.
int DepthOf(pugi::xml_node element) {
  int depth = 0;
  for (; IsElement(element); element = element.parent()) ++depth;
  return depth;
}

// The URI `prefix` stands for at `element` (its own declarations first), or null.
const char* BoundUri(pugi::xml_node element, const std::string& prefix) {
  const std::string declaration = std::string(kXmlnsPrefix) + ":" + prefix;
  for (pugi::xml_node scope = element; scope && IsElement(scope); scope = scope.parent()) {
    if (const pugi::xml_attribute bound = scope.attribute(declaration.c_str()))
      return bound.value();
  }
  return nullptr;
}

// Makes `prefix` stand for `uri` on `element`, declaring it there unless it
// already does. False when the element itself binds the prefix to another
// URI, or another attribute of the element has the same local name in the
// same namespace (the two would be one attribute).
bool BindPrefix(pugi::xml_node element, const std::string& prefix, const std::string& local,
                const std::string& uri) {
  if (prefix == kXmlPrefix) return uri == kXmlNamespace;
  if (prefix == kXmlnsPrefix) return false;
  for (pugi::xml_attribute other = element.first_attribute(); other;
       other = other.next_attribute()) {
    const std::string name = other.name();
    const std::size_t colon = name.find(':');
    if (colon == std::string::npos || name.compare(colon + 1, std::string::npos, local) != 0)
      continue;
    const std::string otherPrefix = name.substr(0, colon);
    const char* otherUri = BoundUri(element, otherPrefix);
    if (otherPrefix != prefix && otherUri != nullptr && uri == otherUri) return false;
  }
  const std::string declaration = std::string(kXmlnsPrefix) + ":" + prefix;
  if (const pugi::xml_attribute own = element.attribute(declaration.c_str()))
    return uri == own.value();
  const char* inherited = BoundUri(element, prefix);
  if (inherited != nullptr && uri == inherited) return true;
  return element.append_attribute(declaration.c_str()).set_value(uri.c_str());
}

}  // namespace

CXmlNode::CXmlNode() : m_node(nullptr) {}

CXmlNode::~CXmlNode() {}

std::tr1::shared_ptr<CXmlNode> CXmlNode::NewChild(CString name) {
  std::tr1::shared_ptr<CXmlNode> result(new CXmlNode);
  pugi::xml_node self = DomAccess::Handle(*this);
  if (!IsElement(self)) return result;
  try {
    std::string engineName;
    if (!EngineName(name, engineName) || DepthOf(self) >= corvane::xmldom::kMaxElementDepth) {
      return result;
    }
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
    return EngineToNarrow(DomAccess::Handle(*this).name());
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
  const pugi::xml_node self = DomAccess::Handle(*this);
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
  pugi::xml_node self = DomAccess::Handle(*this);
  if (!IsElement(self)) return false;
  try {
    const std::string text = NarrowToEngine(value);
    std::string localName;
    if (!EngineName(name, localName) || !corvane::xmldom::IsAttributeText(text)) return false;
    std::string qualifiedName = localName;
    if (!prefix.IsEmpty()) {
      // A prefix means nothing without the namespace it stands for.
      std::string enginePrefix;
      const std::string uri = NarrowToEngine(namespaceURI);
      if (!EngineName(prefix, enginePrefix) || uri.empty() ||
          !corvane::xmldom::IsAttributeText(uri) ||
          !BindPrefix(self, enginePrefix, localName, uri)) {
        return false;
      }
      qualifiedName = enginePrefix + ":" + localName;
    } else if (localName == kXmlnsPrefix) {
      return false;  // a namespace declaration, not an attribute
    }
    pugi::xml_attribute attribute = self.attribute(qualifiedName.c_str());
    if (!attribute) attribute = self.append_attribute(qualifiedName.c_str());
    return attribute && attribute.set_value(text.c_str());
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::tr1::shared_ptr<CXmlNodes> CXmlNode::GetChildElements() {
  std::tr1::shared_ptr<CXmlNodes> result(new CXmlNodes);
  const pugi::xml_node self = DomAccess::Handle(*this);
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
