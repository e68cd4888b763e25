// Internal door into the DOM layer for the XML chunk writer and reader: the
// pugixml document behind a CXml and the handles behind the wrappers, loading
// a document from file bytes, and saving one through the library's
// serializer. Handles stay valid while any keepalive of their document
// lives. Nothing here throws except std::bad_alloc. One thread at a time per
// document, as for the wrappers.
#pragma once

#include <corvane/xmldom/xml.h>
#include <corvane/xmldom/xml_node.h>

#include <pugixml.hpp>
#include <string>
#include <tr1/memory>

#include "xmldom/xml_parser.h"
#include "xmldom/xml_text_output.h"

namespace corvane {
namespace xmldom {

// What a CXml's document handle points at: the pugixml document and the text
// it was parsed from in place, which must live as long as the document.
struct DocumentHolder {
  pugi::xml_document document;
  std::string buffer;
};

struct DomAccess {
  // The wrapped node; a null handle when the wrapper holds none.
  static pugi::xml_node Handle(const DomXml::CXmlNode& node);
  // A new wrapper of `node` that keeps `document` alive.
  static std::tr1::shared_ptr<DomXml::CXmlNode> Wrap(pugi::xml_node node,
                                                     const std::tr1::shared_ptr<void>& document);
  // The open document, or null when `xml` is closed.
  static DocumentHolder* Holder(const DomXml::CXml& xml);
  // Closes `xml`, makes a new empty document and stores `path`; null when no
  // document can be made.
  static DocumentHolder* FreshDocument(DomXml::CXml& xml, const char* path);
};

// Loads the bytes of a whole file, which the conforming parser accepted
// (XmlParser::ParseFile's copy), into a fresh document of `xml`, with the
// stored path `path`. Should pugixml still refuse them, the document is left
// without a document element, false is returned and `failure` (when not
// null) says why.
bool LoadDocument(DomXml::CXml& xml, const char* path, std::string bytes, ParseFailure* failure);

// Writes the document through the library's serializer: the declaration, then
// the document element with its attributes, elements, text and CDATA. False,
// writing nothing, when the document has no document element.
bool SerializeDocument(const pugi::xml_document& document, TextSink& sink);

}  // namespace xmldom
}  // namespace corvane
