// XmlTextOutput: the one serializer of every XML file the library writes,
// element by element, straight to a sink: the declaration
// `<?xml version="1.0"?>`, no white space between nodes, `<a/>` for an
// element without content, attribute values with & < " escaped and tab, line
// feed and carriage return as character references (so they survive the
// normalisation of attribute values), text with & < > and carriage return
// escaped. The caller gives only names and values XML can carry (see
// xml_name.h). Text goes through a fixed buffer; a null sink discards it.
// Memory beyond the buffer grows with the total length of the open
// elements' names only. Exceptions from the sink or the allocator pass
// through. One thread at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {
namespace xmldom {

// Where serialized text goes.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Write(const void* data, std::size_t size) = 0;
};

class XmlTextOutput {
 public:
  // An open element (or none); elements are closed innermost first.
  struct Element {
    bool open = false;
    explicit operator bool() const { return open; }
  };

  // `sink` is not owned and may be null.
  explicit XmlTextOutput(TextSink* sink) : m_sink(sink) {}
  XmlTextOutput(const XmlTextOutput&) = delete;
  XmlTextOutput& operator=(const XmlTextOutput&) = delete;

  // The declaration and the start of the document element `name` (UTF-8).
  Element Root(std::string_view name);
  Element Append(Element parent, std::string_view name);
  // An attribute of the element appended last, before any content of it.
  void Attribute(Element element, std::string_view name, const char* utf8, std::size_t size);
  // Character data, or a CDATA section, inside the innermost open element.
  void Text(const char* utf8, std::size_t size);
  void CData(const char* utf8, std::size_t size);
  void Close(Element element);
  // Hands the buffered text to the sink.
  void Flush();

 private:
  void Put(const char* text, std::size_t size);
  void PutEscaped(const char* text, std::size_t size, bool inAttribute);
  void StartElement(std::string_view name);
  void EndStartTag();

  static constexpr std::size_t kCapacity = 64 * 1024;

  TextSink* m_sink;
  std::string m_openNames;            // the open elements' names, outermost first
  std::vector<std::size_t> m_starts;  // where each open element's name starts
  bool m_startTagOpen = false;        // the innermost start tag still lacks its '>'
  std::size_t m_used = 0;
  char m_buffer[kCapacity];
};

}  // namespace xmldom
}  // namespace corvane
