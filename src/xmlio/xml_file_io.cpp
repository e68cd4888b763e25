#include <corvane/xmlio/xml_file_io.h>

#include <memory>
#include <utility>

#include "xmldom/dom_access.h"
#include "xmlio/chunk_file_reader.h"
#include "xmlio/chunk_file_writer.h"
#include "xmlio/dom_chunk_reader.h"
#include "xmlio/dom_chunk_writer.h"
#include "xmlio/progress_run.h"

using corvane::xmlio::ProgressRun;

namespace {

pugi::xml_node HandleOf(const std::tr1::shared_ptr<DomXml::CXmlNode>& element) {
  return element ? corvane::xmldom::DomAccess::Handle(*element) : pugi::xml_node();
}

}  // namespace

XmlFileIO::XmlFileIO() = default;

XmlFileIO::XmlFileIO(CString const& path) : m_path(path) {}

XmlFileIO::XmlFileIO(XmlFileIO const& other) = default;

XmlFileIO& XmlFileIO::operator=(XmlFileIO const& other) = default;

// Members go in reverse order: the progress state (its end, position and start
// callbacks last to first), then the path.
XmlFileIO::~XmlFileIO() = default;

void XmlFileIO::setPath(CString const& path) { m_path = path; }

void XmlFileIO::setStartProgressFun(StartProgressFun fun) { m_progress.start = std::move(fun); }
void XmlFileIO::setSetPosFun(SetPosFun fun) { m_progress.position = std::move(fun); }
void XmlFileIO::SetEndProgressFun(EndProgressFun fun) { m_progress.end = std::move(fun); }

void XmlFileIO::save(boost::shared_ptr<IChunk> root) {
  corvane::xmlio::WriteChunkFile(m_path, std::move(root), m_progress);
}

void XmlFileIO::save(boost::shared_ptr<IChunk> chunk,
                     std::tr1::shared_ptr<DomXml::CXmlNode> element) {
  ProgressRun progress(ProgressRun::Kind::kSave, m_progress);
  // On the heap: the walk's text caches are too big for a host's stack.
  auto writer = std::make_unique<corvane::xmlio::DomChunkWriter>(progress);
  writer->Write(std::move(chunk), HandleOf(element));
}

void XmlFileIO::read(boost::shared_ptr<IChunk>& root) {
  if (m_path.IsEmpty()) return;
  corvane::xmlio::ReadChunkFile(m_path, root, m_progress);
}

void XmlFileIO::read(boost::shared_ptr<IChunk>& chunk,
                     std::tr1::shared_ptr<DomXml::CXmlNode> element) {
  ProgressRun progress(ProgressRun::Kind::kRead, m_progress);
  auto reader = std::make_unique<corvane::xmlio::DomChunkReader>(progress);
  reader->Read(chunk, HandleOf(element));
}
