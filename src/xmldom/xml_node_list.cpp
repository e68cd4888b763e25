#include <corvane/xmldom/xml_node.h>

#include <climits>

#include "xmldom/dom_access.h"
#include "xmldom/node_list.h"

namespace DomXml {

CXmlNodes::CXmlNodes() : m_list(nullptr) {}

CXmlNodes::~CXmlNodes() { delete m_list; }

int CXmlNodes::GetCount() {
  if (m_list == nullptr) return -1;
  const std::size_t count = m_list->nodes.size();
  return count > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

std::tr1::shared_ptr<CXmlNode> CXmlNodes::GetItem(int index) {
  // The one DOM operation that lets an error escape: callers only index
  // lists whose count they have seen to be positive.
  if (m_list == nullptr) throw _com_error(E_POINTER);
  if (index < 0 || static_cast<std::size_t>(index) >= m_list->nodes.size()) {
    return std::tr1::shared_ptr<CXmlNode>(new CXmlNode);
  }
  return corvane::xmldom::DomAccess::Wrap(m_list->nodes[static_cast<std::size_t>(index)],
                                          m_list->document);
}

}  // namespace DomXml
