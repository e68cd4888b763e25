#include "xmlio/chunk_file_writer.h"

#include <memory>
#include <string>
#include <utility>

#include "platform/codepage.h"
#include "xmldom/atomic_file.h"
#include "xmldom/narrow_text.h"
#include "xmldom/xml_name.h"
#include "xmlio/chunk_tree_walk.h"
#include "xmlio/xml_text_output.h"

namespace corvane {
namespace xmlio {

bool WriteChunkFile(const CString& path, boost::shared_ptr<IChunk> root, ProgressCursor cursor) {
  if (!root) return false;
  // The document element is named as the DOM layer names a new document's.
  const std::string rootName = DomXml::NarrowToEngine(root->label().GetString());
  const bool named = DomXml::IsXmlName(rootName);
  const CString target(path.GetString());
  DomXml::AtomicFileWriter file(
      codepage::NarrowToUtf8(target.GetString(), static_cast<std::size_t>(target.GetLength())));
  const bool writing = named && !target.IsEmpty() && file.Begin();

  // On the heap: the output buffer and the walk's text caches are too big
  // for a host's stack.
  auto output = std::make_unique<XmlTextOutput>(writing ? &file : nullptr);
  auto walk = std::make_unique<ChunkTreeWalk<XmlTextOutput>>(cursor, *output);
  const XmlTextOutput::Element element = named ? output->Root(rootName) : XmlTextOutput::Element();
  walk->Walk(std::move(root), element);
  if (!writing) return false;
  output->Flush();
  return file.Commit();
}

}  // namespace xmlio
}  // namespace corvane
