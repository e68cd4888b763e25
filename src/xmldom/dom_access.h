// Internal door into the DOM layer for the XML chunk reader and writer and the
// file checker: raw pugixml handles behind the wrappers, and loading with the
// reason a load failed. Handles stay valid while any keepalive of their
// document lives. Nothing here throws except std::bad_alloc. One thread at a
// time per document, as for the wrappers.
#pragma once

#include <cstddef>
#include <string>
#include <tr1/memory>

#include <pugixml.hpp>

#include <corvane/xmldom/xml.h>
#include <corvane/xmldom/xml_node.h>

namespace DomXml {

// Deepest element nesting a loaded document may have; the document element is
// depth 1. Deeper documents fail to load (they are refused, not truncated).
constexpr int kMaxElementDepth = 256;

struct NodeAccess {
  // The wrapped node; a null handle when the wrapper holds none.
  static pugi::xml_node Handle(const CXmlNode& node);
  // A new wrapper of `node` that keeps `document` alive (see Keepalive below).
  static std::tr1::shared_ptr<CXmlNode> Wrap(pugi::xml_node node,
                                             const std::tr1::shared_ptr<void>& document);
  // The keepalive of the wrapper's document; empty when the wrapper holds none.
  static std::tr1::shared_ptr<void> Document(const CXmlNode& node);
};

struct DocumentHolder;

struct DocumentAccess {
  // The open document, or null when `xml` is closed.
  static pugi::xml_document* Document(CXml& xml);
  // Shared ownership of the open document's memory (empty when closed); pass it
  // to NodeAccess::Wrap so wrappers may outlive the CXml.
  static std::tr1::shared_ptr<void> Keepalive(CXml& xml);
  // The UTF-8 text the open document was parsed from, when the load asked to
  // keep it (OpenOptions::keepText); null otherwise.
  static const std::string* Text(CXml& xml);
  // For the loader: closes `xml`, makes a new empty document and stores
  // `path`; null when no document can be made.
  static DocumentHolder* FreshDocument(CXml& xml, const char* path);
};

// Why a load failed, for diagnostics.
struct OpenFailure {
  enum Kind {
    kNone,             // loaded
    kUnreadable,       // missing, not a regular file, or a read error
    kNotWellFormed,    // refused by the parser, not exactly one document element, text
                       // outside it, or an attribute given twice
    kDoctype,          // the document has a document type declaration
    kTooDeep,          // elements nest deeper than kMaxElementDepth
    kUnknownEncoding,  // the declared encoding is not one the converter knows
  } kind = kNone;
  std::string message;    // the parser's description for kNotWellFormed
  long long offset = -1;  // byte offset into the parsed UTF-8 text, or -1
};

struct OpenOptions {
  // Keep the parsed UTF-8 text beside the document (DocumentAccess::Text), so
  // node offsets can become line numbers. Costs a copy of the text; the
  // default parses the file's buffer in place.
  bool keepText = false;
};

// CXml::Open with the reason for a failure (`failure` may be null). Same
// contract as CXml::Open: an unreadable file leaves `xml` untouched; any later
// failure leaves the path set and the document without a document element.
bool OpenDocument(CXml& xml, const char* path, OpenFailure* failure,
                  const OpenOptions& options = OpenOptions());

// Loads a document from file bytes (any encoding Open accepts) into a fresh
// document of `xml`; the stored path becomes "". For fuzzing and tools.
bool LoadDocument(CXml& xml, const char* bytes, std::size_t size, OpenFailure* failure,
                  const OpenOptions& options = OpenOptions());

// Node offsets to lines: xml_node::offset_debug() of a loaded node is its
// byte offset into the parsed text (a converted document's UTF-8 text, after
// any byte order mark), the same offset OpenFailure carries. With the text
// kept, LineOfOffset(*DocumentAccess::Text(xml), offset) gives the 1-based line.
int LineOfOffset(const std::string& text, std::ptrdiff_t offset);

}  // namespace DomXml
