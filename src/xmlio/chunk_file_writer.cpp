#include "xmlio/chunk_file_writer.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "platform/codepage.h"
#include "xmldom/atomic_file.h"
#include "xmldom/xml_name.h"
#include "xmldom/xml_text_output.h"
#include "xmlio/chunk_tree_walk.h"

namespace corvane {
namespace xmlio {

bool WriteChunkFile(const CString& path, boost::shared_ptr<IChunk> root, ProgressRun& progress) {
  if (!root) return false;
  // The document element is named as the DOM layer names a new document's.
  const CString& label = root->label();
  std::string rootName;
  const bool named =
      xmldom::NarrowNameToUtf8(label.GetString(), std::strlen(label.GetString()), rootName);
  std::string native;
  const bool pathOk = codepage::AppendNarrowAsUtf8Strict(native, path.GetString(),
                                                          std::strlen(path.GetString()));
  xmldom::AtomicFileWriter file(native);
  const bool writing = named && pathOk && !native.empty() && file.Begin();

  // On the heap: the output buffer and the walk's text caches are too big
  // for a host's stack.
  using xmldom::XmlTextOutput;
  auto output = std::make_unique<XmlTextOutput>(writing ? &file : nullptr);
  auto walk = std::make_unique<ChunkTreeWalk<XmlTextOutput>>(progress, *output);
  const XmlTextOutput::Element element = named ? output->Root(rootName) : XmlTextOutput::Element();
  walk->Walk(std::move(root), element);
  if (!writing) return false;
  output->Flush();
  return file.Commit();
}

}  // namespace xmlio
}  // namespace corvane
