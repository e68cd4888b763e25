// The words of an XML chunk file, in one place for the library and for tools
// that name what they find in one: each chunk is an element named by its
// label, carrying its texts in the attributes below, and a chunk is named in
// messages by its path from the document element. A library addition; the
// host interface needs none of it.
#pragma once

#include <string>
#include <string_view>

namespace corvane {
namespace xmlio {

constexpr char kNameAttribute[] = "Name";
constexpr char kTypeAttribute[] = "Type";
constexpr char kValueAttribute[] = "Value";
// The element name written for a chunk whose label is empty.
constexpr char kEmptyLabelStandIn[] = "att";

// Appends one step of a chunk path (UTF-8): "/label", or "/label[\"name\"]"
// when the name is not empty. /FILE_CONVERT/SysVar/Var["Scale"]
inline void AppendPathStep(std::string& path, std::string_view label, std::string_view name) {
  path += '/';
  path += label;
  if (name.empty()) return;
  path += "[\"";
  path += name;
  path += "\"]";
}

}  // namespace xmlio
}  // namespace corvane
