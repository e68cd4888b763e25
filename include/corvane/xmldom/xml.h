// DomXml::CXml: one XML document. Create makes a new document (declaration
// version 1.0, one root element), Open loads a file, Save writes one, GetRoot
// hands out the document element. Every failure is a false result or a
// wrapper around no node; nothing throws. Copies share one document. Loading
// refuses a DTD and element depth over 256, drops whitespace-only text, and
// accepts UTF-8, UTF-16 with BOM and declared encodings the converter knows.
// Saving writes UTF-8 to a temporary file and renames it over the target, so a
// failed save leaves an existing file untouched. Paths are narrow text.
#pragma once

#include <memory>
#include <tr1/memory>

#include <corvane/export.h>
#include <corvane/platform/cstring.h>
#include <corvane/xmldom/xml_node.h>

namespace DomXml {

struct DocumentAccess;

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
  friend struct DocumentAccess;
  bool CreateDocument();
  std::tr1::shared_ptr<CXmlNode> CreateNode(const char* name);

  std::tr1::shared_ptr<void> m_document;  // the engine's document, or null when closed
  CString m_path;
  int m_version;  // 60 with a document, 0 when closed
};

}  // namespace DomXml
