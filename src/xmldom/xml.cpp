#include <corvane/xmldom/xml.h>

#include <cstring>
#include <new>

#include "platform/file_replacement.h"
#include "platform/readable_file.h"
#include "xmldom/dom_access.h"
#include "xmldom/file_text_sink.h"
#include "xmldom/xml_name.h"

namespace DomXml {
namespace {

using corvane::xmldom::DocumentHolder;
using corvane::xmldom::DomAccess;

// What the engine version field holds while a document is open.
constexpr int kEngineVersion = 60;

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
    corvane::platform::ReadableFile file;
    // A file that cannot be read leaves the object as it was.
    if (!file.Open(path)) return false;
    // The parser reads the file as it comes, so what is not XML is refused
    // at the first bytes that show it, not after the whole file is in memory.
    std::string bytes;
    corvane::xmldom::XmlParser parser;
    if (!parser.ParseFile(file, corvane::xmldom::XmlParser::Namespaces::kChecked, nullptr,
                          &bytes)) {
      DomAccess::FreshDocument(*this, path);  // the old document goes, as for any refused file
      return false;
    }
    return corvane::xmldom::LoadDocument(*this, path, std::move(bytes), nullptr);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CXml::Create(const char* rootName) {
  if (!CreateDocument()) return false;
  try {
    return !CreateNode(rootName)->IsNull();
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// The engine makes no detached nodes, so the element is appended to the
// document here, where Create would append it: it becomes the document
// element. The declaration is the serializer's; the tree holds none.
std::tr1::shared_ptr<CXmlNode> CXml::CreateNode(const char* name) {
  DocumentHolder* holder = DomAccess::Holder(*this);
  std::string utf8;
  if (holder == nullptr || name == nullptr || holder->document.document_element() ||
      !corvane::xmldom::NarrowNameToUtf8(name, std::strlen(name), utf8)) {
    return DomAccess::Wrap(pugi::xml_node(), m_document);
  }
  return DomAccess::Wrap(holder->document.append_child(utf8.c_str()), m_document);
}

bool CXml::Save(const char* path) {
  DocumentHolder* holder = DomAccess::Holder(*this);
  if (holder == nullptr) return false;
  try {
    const CString target(path != nullptr ? path : m_path.GetString());
    // A document without a document element would be a file no reader accepts.
    if (!holder->document.document_element()) return false;
    corvane::platform::FileReplacement file(target);
    if (!file.Open()) return false;
    corvane::xmldom::FileTextSink sink(file);
    corvane::xmldom::SerializeDocument(holder->document, sink);
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
  DocumentHolder* holder = DomAccess::Holder(*this);
  if (holder == nullptr) return DomAccess::Wrap(pugi::xml_node(), m_document);
  return DomAccess::Wrap(holder->document.document_element(), m_document);
}

}  // namespace DomXml
