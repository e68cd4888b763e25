#include <corvane/xmlio/xml_file_io.h>

#include <memory>
#include <utility>

#include "xmldom/dom_access.h"
#include "xmlio/chunk_file_reader.h"
#include "xmlio/chunk_file_writer.h"
#include "xmlio/chunk_tree_writer.h"
#include "xmlio/dom_chunk_reader.h"
#include "xmlio/progress_run.h"

using corvane::xmlio::ProgressRun;

namespace {

pugi::xml_node HandleOf(const std::tr1::shared_ptr<DomXml::CXmlNode>& element) {
  return element ? corvane::xmldom::DomAccess::Handle(*element) : pugi::xml_node();
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
  ProgressRun progress(ProgressRun::Kind::kSave, m_start, m_setPos, m_end, m_position, m_total);
  if (progress.HasStart()) {
    unsigned int total = 0;
    root->allNumChild(total);
    if (total == 0) return;
    progress.Start(total);
  }
  corvane::xmlio::WriteChunkFile(m_path, std::move(root), progress);
  progress.End();
}

void XmlFileIO::save(boost::shared_ptr<IChunk> chunk,
                     std::tr1::shared_ptr<DomXml::CXmlNode> element) {
  ProgressRun progress(ProgressRun::Kind::kSave, m_start, m_setPos, m_end, m_position, m_total);
  // On the heap: the walk's text caches are too big for a host's stack.
  auto writer = std::make_unique<corvane::xmlio::ChunkTreeWriter>(progress);
  writer->Write(std::move(chunk), HandleOf(element));
}

void XmlFileIO::read(boost::shared_ptr<IChunk>& root) {
  if (m_path.IsEmpty()) return;
  ProgressRun progress(ProgressRun::Kind::kRead, m_start, m_setPos, m_end, m_position, m_total);
  corvane::LoadReport report;
  corvane::xmlio::ReadChunkFile(m_path, root, progress, corvane::LeftOutObserver(), report);
  // A file that does not load calls nothing; one that did calls the end.
  if (report.elements != 0) progress.End();
}

void XmlFileIO::read(boost::shared_ptr<IChunk>& chunk,
                     std::tr1::shared_ptr<DomXml::CXmlNode> element) {
  ProgressRun progress(ProgressRun::Kind::kRead, m_start, m_setPos, m_end, m_position, m_total);
  auto reader = std::make_unique<corvane::xmlio::DomChunkReader>(progress);
  reader->Read(chunk, HandleOf(element));
}
