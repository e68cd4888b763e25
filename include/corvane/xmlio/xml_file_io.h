// XmlFileIO: writes a chunk tree to an XML chunk file and reads one back.
// save(root) writes one element per chunk (label as tag, attributes Name,
// Type, Value) and consumes the tree below the root as it goes: every written
// child entry is left empty. Chunks whose label is not an XML name, or that
// would nest deeper than 256 levels, are left out with their subtrees, and an
// attribute XML cannot carry (a control character other than tab, line feed,
// carriage return) is left out: every file written is well-formed XML.
// read(root) replaces the caller's pointer with the file's tree (empty when
// the document element cannot become a chunk). A file that is not
// well-formed XML 1.0, has a DTD, nests deeper than 256 levels or holds bytes
// invalid in its encoding leaves the pointer untouched and calls no callback.
// Elements that do not fit are dropped with their subtrees. Nothing is
// reported beyond that (InspectChunkFile in load_report.h says why).
// Progress goes through the three callbacks; one thread at a time.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/export.h>
#include <corvane/platform/cstring.h>
#include <corvane/xmldom/xml_node.h>
#include <corvane/xmlio/progress.h>

#include <boost/shared_ptr.hpp>
#include <tr1/memory>

class CORVANE_API XmlFileIO {
 public:
  XmlFileIO();
  explicit XmlFileIO(CString const& path);
  XmlFileIO(XmlFileIO const& other);
  XmlFileIO& operator=(XmlFileIO const& other);
  ~XmlFileIO();

  void setPath(CString const& path);
  void save(boost::shared_ptr<IChunk> root);
  void read(boost::shared_ptr<IChunk>& root);

  void setStartProgressFun(StartProgressFun fun);
  void setSetPosFun(SetPosFun fun);
  void SetEndProgressFun(EndProgressFun fun);

 protected:
  // Writes one chunk into its element, then its children below it.
  void save(boost::shared_ptr<IChunk> chunk, std::tr1::shared_ptr<DomXml::CXmlNode> element);
  // Builds the chunk for one element (or none), then its children.
  void read(boost::shared_ptr<IChunk>& chunk, std::tr1::shared_ptr<DomXml::CXmlNode> element);

 private:
  CString m_path;
  corvane::xmlio::ProgressState m_progress;
};
