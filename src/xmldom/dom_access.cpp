#include "xmldom/dom_access.h"

#include "xmldom/document_holder.h"

namespace DomXml {

pugi::xml_node NodeAccess::Handle(const CXmlNode& node) {
  return pugi::xml_node(static_cast<pugi::xml_node_struct*>(node.m_node));
}

std::tr1::shared_ptr<CXmlNode> NodeAccess::Wrap(pugi::xml_node node,
                                                const std::tr1::shared_ptr<void>& document) {
  std::tr1::shared_ptr<CXmlNode> wrapper(new CXmlNode);
  if (node) {
    wrapper->m_node = node.internal_object();
    wrapper->m_document = document;
  }
  return wrapper;
}

std::tr1::shared_ptr<void> NodeAccess::Document(const CXmlNode& node) { return node.m_document; }

pugi::xml_document* DocumentAccess::Document(CXml& xml) {
  DocumentHolder* holder = static_cast<DocumentHolder*>(xml.m_document.get());
  return holder == nullptr ? nullptr : &holder->document;
}

std::tr1::shared_ptr<void> DocumentAccess::Keepalive(CXml& xml) { return xml.m_document; }

const std::string* DocumentAccess::Text(CXml& xml) {
  DocumentHolder* holder = static_cast<DocumentHolder*>(xml.m_document.get());
  return holder != nullptr && holder->textKept ? &holder->buffer : nullptr;
}

DocumentHolder* DocumentAccess::FreshDocument(CXml& xml, const char* path) {
  const CString stored(path);  // copied first: `path` may live in the object being reset
  if (!xml.CreateDocument()) return nullptr;
  xml.m_path = stored;
  return static_cast<DocumentHolder*>(xml.m_document.get());
}

}  // namespace DomXml
