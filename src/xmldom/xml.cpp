#include <corvane/xmldom/xml.h>

#include <new>

#include "platform/codepage.h"
#include "xmldom/atomic_file.h"
#include "xmldom/document_holder.h"
#include "xmldom/dom_access.h"
#include "xmldom/narrow_text.h"
#include "xmldom/xml_name.h"

namespace DomXml {
namespace {

// What the engine version field holds while a document is open.
constexpr int kEngineVersion = 60;
// The declaration a new document starts with is `<?xml version="1.0"?>`; the
// declaration node keeps the version as a pseudo-attribute.
constexpr const char kXmlVersion[] = "1.0";

DocumentHolder* HolderOf(const std::tr1::shared_ptr<void>& document) {
  return static_cast<DocumentHolder*>(document.get());
}

}  // namespace

CXml::CXml() : m_version(0) {}

CXml::CXml(const CXml& other)
    : m_document(other.m_document), m_path(other.m_path), m_version(other.m_version) {}

CXml& CXml::operator=(const CXml& other) {
  m_document = other.m_document;
  m_path = other.m_path;
  m_version = other.m_version;
  return *this;
}

CXml::~CXml() { Close(); }

bool CXml::CreateDocument() {
  Close();
  try {
    m_document = std::tr1::shared_ptr<void>(new DocumentHolder);
  } catch (const std::bad_alloc&) {
    return false;
  }
  m_version = kEngineVersion;
  return true;
}

bool CXml::Open(const char* path) {
  try {
    return OpenDocument(*this, path, nullptr);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CXml::Create(const char* rootName) {
  if (!CreateDocument()) return false;
  try {
    pugi::xml_document& document = HolderOf(m_document)->document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    if (!declaration || !declaration.append_attribute("version").set_value(kXmlVersion)) {
      return false;
    }
    return !CreateNode(rootName)->IsNull();
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// The engine makes no detached nodes, so the element is appended to the
// document here, where Create would append it: it becomes the document element.
std::tr1::shared_ptr<CXmlNode> CXml::CreateNode(const char* name) {
  DocumentHolder* holder = HolderOf(m_document);
  if (holder == nullptr || name == nullptr) return NodeAccess::Wrap(pugi::xml_node(), m_document);
  const std::string engineName = NarrowToEngine(name);
  if (!IsXmlName(engineName) || holder->document.document_element()) {
    return NodeAccess::Wrap(pugi::xml_node(), m_document);
  }
  return NodeAccess::Wrap(holder->document.append_child(engineName.c_str()), m_document);
}

bool CXml::Save(const char* path) {
  DocumentHolder* holder = HolderOf(m_document);
  if (holder == nullptr) return false;
  try {
    const CString target(path != nullptr ? path : m_path.GetString());
    // A document without a document element would be written as a file no
    // reader accepts.
    if (target.IsEmpty() || !holder->document.document_element()) return false;
    AtomicFileWriter file(
        corvane::codepage::NarrowToUtf8(target.GetString(), static_cast<std::size_t>(target.GetLength())));
    if (!file.Begin()) return false;
    holder->document.save(file, "", pugi::format_raw, pugi::encoding_utf8);
    if (!file.Commit()) return false;
    if (path != nullptr) m_path = target;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void CXml::Close() {
  m_document.reset();
  m_path.Empty();
  m_version = 0;
}

std::tr1::shared_ptr<CXmlNode> CXml::GetRoot() {
  DocumentHolder* holder = HolderOf(m_document);
  if (holder == nullptr) return NodeAccess::Wrap(pugi::xml_node(), m_document);
  return NodeAccess::Wrap(holder->document.document_element(), m_document);
}

}  // namespace DomXml
