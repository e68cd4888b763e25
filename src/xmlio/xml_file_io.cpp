#include <corvane/xmlio/xml_file_io.h>

#include <memory>
#include <utility>

#include "xmldom/dom_access.h"
#include "xmlio/chunk_file_writer.h"
#include "xmlio/chunk_tree_reader.h"
#include "xmlio/chunk_tree_writer.h"
#include "xmlio/progress_cursor.h"

namespace {

pugi::xml_node HandleOf(const std::tr1::shared_ptr<DomXml::CXmlNode>& element) {
  return element ? DomXml::NodeAccess::Handle(*element) : pugi::xml_node();
}

}  // namespace

XmlFileIO::XmlFileIO() : m_position(0), m_total(0) {}

XmlFileIO::XmlFileIO(CString const& path) : m_path(path), m_position(0), m_total(0) {}

XmlFileIO::XmlFileIO(XmlFileIO const& other) = default;

XmlFileIO& XmlFileIO::operator=(XmlFileIO const& other) = default;

// Members go in reverse order: the end, position and start callbacks, then the path.
XmlFileIO::~XmlFileIO() = default;

void XmlFileIO::setPath(CString const& path) { m_path = path; }

void XmlFileIO::setStartProgressFun(StartProgressFun fun) { m_start = std::move(fun); }
void XmlFileIO::setSetPosFun(SetPosFun fun) { m_setPos = std::move(fun); }
void XmlFileIO::SetEndProgressFun(EndProgressFun fun) { m_end = std::move(fun); }

void XmlFileIO::save(boost::shared_ptr<IChunk> root) {
  if (m_path.IsEmpty() || !root) return;
  if (!m_start.empty()) {
    unsigned int total = 0;
    root->allNumChild(total);
    if (total == 0) return;
    m_total = total;
    m_start(CString(corvane::xmlio::kSaveMessage), 0, 100);
    m_position = 0;
  }
  corvane::xmlio::ProgressCursor cursor(&m_start, &m_setPos, &m_position, &m_total);
  corvane::xmlio::WriteChunkFile(m_path, std::move(root), cursor);
  if (!m_end.empty()) m_end();
}

void XmlFileIO::save(boost::shared_ptr<IChunk> chunk, std::tr1::shared_ptr<DomXml::CXmlNode> element) {
  corvane::xmlio::ProgressCursor cursor(&m_start, &m_setPos, &m_position, &m_total);
  // On the heap: the walk's text caches are too big for a host's stack.
  auto writer = std::make_unique<corvane::xmlio::ChunkTreeWriter>(cursor);
  writer->Write(std::move(chunk), HandleOf(element));
}

void XmlFileIO::read(boost::shared_ptr<IChunk>& root) {
  if (m_path.IsEmpty()) return;
  DomXml::CXml document;
  if (!document.Open(m_path)) return;
  std::tr1::shared_ptr<DomXml::CXmlNode> element = document.GetRoot();
  if (!m_start.empty()) {
    m_total = corvane::xmlio::CountDescendantElements(HandleOf(element));
    m_start(CString(corvane::xmlio::kReadMessage), 0, 100);
    m_position = 0;
  }
  read(root, element);
  if (!m_end.empty()) m_end();
}

void XmlFileIO::read(boost::shared_ptr<IChunk>& chunk, std::tr1::shared_ptr<DomXml::CXmlNode> element) {
  corvane::xmlio::ProgressCursor cursor(nullptr, &m_setPos, &m_position, &m_total);
  auto reader = std::make_unique<corvane::xmlio::ChunkTreeReader>(cursor);
  reader->Read(chunk, HandleOf(element));
}
