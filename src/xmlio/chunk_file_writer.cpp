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
#include "xmlio/progress_run.h"

namespace corvane {
namespace xmlio {
namespace {

bool Write(const CString& path, boost::shared_ptr<IChunk> root, ProgressRun& progress) {
  // The document element is named as the DOM layer names a new document's.
  const CString& label = root->label();
  std::string rootName;
  const bool named =
      xmldom::NarrowNameToUtf8(label.GetString(), std::strlen(label.GetString()), rootName);
  platform::FileReplacement file(path);
  const bool writing = named && file.Open();
  xmldom::FileTextSink sink(file);

  // On the heap: the output buffer and the walk's text caches are too big
  // for a host's stack.
  using xmldom::XmlTextOutput;
  auto output = std::make_unique<XmlTextOutput>(writing ? &sink : nullptr);
  auto walk = std::make_unique<ChunkTreeWalk<XmlTextOutput>>(progress, *output);
  const XmlTextOutput::Element element = named ? output->Root(rootName) : XmlTextOutput::Element();
  walk->Walk(std::move(root), element);
  if (!writing) return false;
  output->Flush();
  return file.Commit();
}

}  // namespace

bool WriteChunkFile(const CString& path, boost::shared_ptr<IChunk> root, ProgressState& progress) {
  if (path.IsEmpty() || !root) return false;
  ProgressRun run(ProgressRun::Kind::kSave, progress);
  if (run.HasStart()) {
    unsigned int total = 0;
    root->allNumChild(total);
    if (total == 0) return false;
    run.Start(total);
  }
  const bool written = Write(path, std::move(root), run);
  run.End();
  return written;
}

}  // namespace xmlio
}  // namespace corvane
