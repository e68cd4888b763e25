// DomXml::CXml: one XML document. Create makes a new document (declaration
// version 1.0, one root element), Open loads a file, Save writes one, GetRoot
// hands out the document element. Every failure is a false result or a
// wrapper around no node; nothing throws. Copies share one document.
// Open accepts exactly the well-formed XML 1.0 documents (with namespaces)
// that have no DTD and nest at most 256 elements deep, in UTF-8, UTF-16 (with
// or without a byte order mark) or a declared encoding the converter knows;
// bytes invalid in that encoding refuse the file. Whitespace-only text,
// comments and processing instructions are not kept. Save writes UTF-8 and
// only well-formed XML (names and values are checked as they are set).
// Paths are narrow text; a path that is not code page 936 does not open.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/cstring.h>
#include <corvane/xmldom/xml_node.h>

#include <memory>
#include <tr1/memory>

namespace corvane {
namespace xmldom {
struct DomAccess;
}  // namespace xmldom
}  // namespace corvane

namespace DomXml {

class CORVANE_API CXml {
 public:
  CXml();
  CXml(const CXml& other);
  CXml& operator=(const CXml& other);
  ~CXml();

  bool Open(const char* path);
  bool Create(const char* rootName);
  // Null path: the stored path (that of the last Open, or last Save with a path).
  bool Save(const char* path = nullptr);
  void Close();
  // Never an empty pointer; the wrapper holds no node without a document element.
  std::tr1::shared_ptr<CXmlNode> GetRoot();

 private:
  friend struct corvane::xmldom::DomAccess;
  bool CreateDocument();
  std::tr1::shared_ptr<CXmlNode> CreateNode(const char* name);

  std::tr1::shared_ptr<void> m_document;  // the engine's document, or null when closed
  CString m_path;
  int m_version;  // 60 with a document, 0 when closed (the engine generation field)
};

}  // namespace DomXml
