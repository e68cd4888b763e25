// DomXml::CXmlNode and DomXml::CXmlNodes: wrappers of one DOM element and of
// one snapshot list of element children. They are handed out only inside
// std::tr1::shared_ptr that is never empty, but the node or list inside may be
// absent; every operation then fails quietly ("" , false, a wrapper around no
// node, -1), except CXmlNodes::GetItem, which raises _com_error(E_POINTER).
// Text crosses as narrow code page 936. A wrapper may outlive its document
// safely, but is only usable while the document is open. One thread at a time.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/com_error.h>
#include <corvane/platform/cstring.h>

#include <tr1/memory>

namespace corvane {
namespace xmldom {
struct DomAccess;
}  // namespace xmldom
}  // namespace corvane

namespace DomXml {

class CXmlNodes;

class CORVANE_API CXmlNode {
 public:
  CXmlNode();
  ~CXmlNode();

  // Creates an element and appends it as this element's last child; a
  // wrapper around no node when `name` is not an XML name (no colon) or the
  // child would be nested deeper than the 256 levels a document may have.
  std::tr1::shared_ptr<CXmlNode> NewChild(CString name);
  CString GetName();
  // The attribute's value, or "" when it is missing or anything fails.
  CString GetAttribute(CString name);
  // False when there is no node; true with an empty value when the attribute is missing.
  bool GetAttribute(const CString& name, CString& value);
  // Adds or replaces an attribute; with a prefix the name is "prefix:name"
  // and the prefix is declared for the namespace URI. False, with the element
  // unchanged, when a name is not an XML name or the value holds a control
  // character other than tab, line feed and carriage return.
  bool SetAttribute(CString name, const char* value, CString prefix = CString(),
                    CString namespaceURI = CString());
  // The element children in document order (never text, comments or PIs).
  std::tr1::shared_ptr<CXmlNodes> GetChildElements();
  // Whether this wrapper holds a node (a library addition to the class).
  bool IsNull() const { return m_node == nullptr; }

 private:
  friend struct corvane::xmldom::DomAccess;
  CXmlNode(const CXmlNode&);
  CXmlNode& operator=(const CXmlNode&);

  void* m_node;                           // the engine's element, or null
  std::tr1::shared_ptr<void> m_document;  // keeps the document's memory alive
};

class CORVANE_API CXmlNodes {
 public:
  CXmlNodes();
  ~CXmlNodes();

  int GetCount();  // -1 when the wrapper holds no list
  // Index outside the list: a wrapper around no node. No list: _com_error.
  std::tr1::shared_ptr<CXmlNode> GetItem(int index);

 private:
  friend class CXmlNode;  // GetChildElements fills the list
  CXmlNodes(const CXmlNodes&);
  CXmlNodes& operator=(const CXmlNodes&);

  struct List;
  List* m_list;  // null when the wrapper holds no list
};

}  // namespace DomXml
