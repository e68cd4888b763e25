#include "xmlio/chunk_file_writer.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "platform/file_replacement.h"
#include "xmldom/file_text_sink.h"
#include "xmldom/xml_name.h"
#include "xmldom/xml_text_output.h"
#include "xmlio/chunk_tree_walk.h"

namespace corvane {
namespace xmlio {

namespace {

// The document element's name for `root`, named as the DOM layer names a new
// document's; false when the label is not an XML name.
bool RootName(IChunk& root, std::string& name) {
  const CString& label = root.label();
  return xmldom::NarrowNameToUtf8(label.GetString(), std::strlen(label.GetString()), name);
}

// Walks and consumes the whole tree, writing it into `sink` when not null.
void WriteTree(boost::shared_ptr<IChunk> root, const std::string* rootName, xmldom::TextSink* sink,
               ProgressRun& progress) {
  // On the heap: the output buffer and the walk's text caches are too big
  // for a host's stack.
  using xmldom::XmlTextOutput;
  auto output = std::make_unique<XmlTextOutput>(sink);
  auto walk = std::make_unique<ChunkTreeWalk<XmlTextOutput>>(progress, *output);
  const XmlTextOutput::Element element =
      rootName != nullptr ? output->Root(*rootName) : XmlTextOutput::Element();
  walk->Walk(std::move(root), element);
  if (sink != nullptr) output->Flush();
}

}  // namespace

bool WriteChunkFile(const CString& path, boost::shared_ptr<IChunk> root, ProgressRun& progress) {
  if (!root) return false;
  std::string rootName;
  const bool named = RootName(*root, rootName);
  platform::FileReplacement file(path);
  const bool writing = named && file.Open();
  xmldom::FileTextSink sink(file);
  WriteTree(std::move(root), named ? &rootName : nullptr, writing ? &sink : nullptr, progress);
  return writing && file.Commit();
}

bool WriteChunkText(boost::shared_ptr<IChunk> root, xmldom::TextSink& sink, ProgressRun& progress) {
  if (!root) return false;
  std::string rootName;
  const bool named = RootName(*root, rootName);
  WriteTree(std::move(root), named ? &rootName : nullptr, named ? &sink : nullptr, progress);
  return named;
}

}  // namespace xmlio
}  // namespace corvane
