// Whether a UTF-8 text may be written as an XML element or attribute name.
// The engine would write any text as a name; checking here keeps every saved
// file well-formed. Pure function, safe from any thread.
#pragma once

#include <string>

namespace DomXml {

// The XML 1.0 Name rule for ASCII characters; characters above U+007F are
// all accepted. The empty text is not a name.
bool IsXmlName(const std::string& name);

}  // namespace DomXml
