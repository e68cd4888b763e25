// XmlTextOutput: the writer's walk output as file text, element by element,
// without building a document: exactly the bytes the DOM layer saves for the
// same elements (declaration `<?xml version="1.0"?>`, no whitespace between
// nodes, `<a/>` for an element without children, attribute values with
// & < " and the control characters escaped). Text goes through a fixed buffer
// to the sink; a null sink discards it. Memory beyond the buffer grows with
// the total length of the open elements' names only. Exceptions from the
// sink or the allocator pass through. One thread at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace corvane {
namespace xmlio {

class XmlTextOutput {
 public:
  // An open element (or none); elements are closed innermost first.
  struct Element {
    bool open = false;
    explicit operator bool() const { return open; }
  };

  // `sink` is not owned and may be null.
  explicit XmlTextOutput(pugi::xml_writer* sink) : m_sink(sink) {}
  XmlTextOutput(const XmlTextOutput&) = delete;
  XmlTextOutput& operator=(const XmlTextOutput&) = delete;

  // The declaration and the start of the document element `name` (UTF-8).
  Element Root(const std::string& name);
  Element Append(Element parent, const std::string& name);
  // An attribute of the element appended last, before any child of it.
  void Attribute(Element element, std::string_view name, const char* utf8, std::size_t size);
  void Close(Element element);
  // Hands the buffered text to the sink.
  void Flush();

 private:
  void Put(const char* text, std::size_t size);
  void PutEscaped(const char* text, std::size_t size);
  void StartElement(const std::string& name);

  static constexpr std::size_t kCapacity = 64 * 1024;

  pugi::xml_writer* m_sink;
  std::string m_openNames;            // the open elements' names, outermost first
  std::vector<std::size_t> m_starts;  // where each open element's name starts
  bool m_startTagOpen = false;        // the innermost start tag still lacks its '>'
  std::size_t m_used = 0;
  char m_buffer[kCapacity];
};

}  // namespace xmlio
}  // namespace corvane
