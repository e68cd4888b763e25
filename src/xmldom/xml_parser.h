// XmlParser: the one conforming XML 1.0 parser behind everything the library
// reads (libexpat). A document is accepted when it is well-formed XML 1.0
// with namespaces (the namespace rules may be skipped on a second pass over
// a document already accepted), has no document type declaration,
// nests elements at most kMaxElementDepth deep, and its bytes are valid in
// the encoding SourceEncoding finds for it. A file is streamed in blocks, so
// memory does not grow with its size. An exception thrown by a listener
// passes through after the parse has been stopped cleanly. One thread at a
// time per parser.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace corvane {
namespace platform {
class ReadableFile;
}  // namespace platform

namespace xmldom {

// Deepest element nesting a document may have; the document element is
// depth 1. Deeper documents are refused, not cut.
constexpr int kMaxElementDepth = 256;

struct ParseFailure {
  std::string reason;        // the parser's own words, or the limit the document passed
  unsigned long line = 0;    // 1-based; 0 when the failure is not at a place in the text
  unsigned long column = 0;  // 1-based
};

// What a parse reports of the elements, in document order. Names and values
// are UTF-8 exactly as the document writes them (names with their prefix;
// attribute values normalised as XML prescribes). A parse that fails may
// have reported elements before the failure.
class ElementListener {
 public:
  virtual ~ElementListener() = default;
  // `attributes` holds name, value, name, value, ... and then null.
  virtual void StartElement(const char* name, const char** attributes) = 0;
  virtual void EndElement() = 0;
};

class XmlParser {
 public:
  enum class Namespaces {
    kChecked,  // the namespace rules are part of well-formedness
    kIgnored,  // for a second pass over a document already checked: faster
  };

  XmlParser();
  ~XmlParser();
  XmlParser(const XmlParser&) = delete;
  XmlParser& operator=(const XmlParser&) = delete;

  // Parses the file from its current position (its start, for a file just
  // opened or rewound), reporting the elements to `listener` when not null
  // and appending the bytes read to `copy` when not null (for a DOM built
  // from the accepted bytes).
  bool ParseFile(platform::ReadableFile& file, Namespaces namespaces, ElementListener* listener,
                 std::string* copy = nullptr);
  // Parses UTF-8 text already decoded (see DecodeDocument).
  bool ParseText(const char* utf8, std::size_t size, Namespaces namespaces,
                 ElementListener* listener);

  // The elements seen by the last parse (all of them, when it succeeded).
  unsigned long long Elements() const { return m_elements; }
  // Why the last parse failed.
  const ParseFailure& Failure() const { return m_failure; }
  // The line of the element being reported, for a listener.
  unsigned long CurrentLine() const;

 private:
  struct State;
  void Begin(Namespaces namespaces, ElementListener* listener);
  std::unique_ptr<State> m_state;
  unsigned long long m_elements = 0;
  ParseFailure m_failure;
};

// Turns the bytes of a whole file into its UTF-8 text, in place. False, with
// the reason in `failure`, when the encoding is unknown or the bytes are not
// valid in it.
bool DecodeDocument(std::string& bytes, ParseFailure& failure);

}  // namespace xmldom
}  // namespace corvane
