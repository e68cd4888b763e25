// What may be written as an XML element or attribute name: the Name rule of
// XML 1.0 (fifth edition) for every character, without a colon (a colon
// would make the name a qualified one whose prefix no declaration binds).
// Names arrive as narrow code page 936 text and must convert exactly: a byte
// that is not code page 936 text makes no name. Pure functions, safe from
// any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {
namespace xmldom {

// Whether UTF-8 text is a name without a colon (an NCName).
bool IsNcName(std::string_view utf8);

// The UTF-8 form of a narrow name into `utf8`; false when the text is not
// code page 936 or not a name.
bool NarrowNameToUtf8(const char* narrow, std::size_t length, std::string& utf8);

// Whether narrow or UTF-8 text can be an attribute value: XML 1.0 carries no
// control character but tab, line feed and carriage return.
bool IsAttributeText(std::string_view text);

}  // namespace xmldom
}  // namespace corvane
