// The list a CXmlNodes wrapper holds: a snapshot of element handles taken
// when the list was made, and shared ownership of their document so the
// handles stay valid while the list lives. One thread at a time.
#pragma once

#include <corvane/xmldom/xml_node.h>

#include <pugixml.hpp>
#include <tr1/memory>
#include <vector>

namespace DomXml {

struct CXmlNodes::List {
  std::vector<pugi::xml_node> nodes;
  std::tr1::shared_ptr<void> document;
};

}  // namespace DomXml
