#include "xmlio/dom_chunk_writer.h"

namespace corvane {
namespace xmlio {

pugi::xml_node DomElementOutput::Append(pugi::xml_node parent, const std::string& name) {
  pugi::xml_node child = parent.append_child(pugi::node_element);
  child.set_name(name.c_str());
  return child;
}

void DomElementOutput::Attribute(pugi::xml_node element, std::string_view name, const char* utf8,
                                 std::size_t size) {
  // Set, not appended: an element written twice keeps one of each attribute.
  pugi::xml_attribute attribute = element.attribute(name.data());
  if (!attribute) attribute = element.append_attribute(name.data());
  attribute.set_value(utf8, size);
}

}  // namespace xmlio
}  // namespace corvane
