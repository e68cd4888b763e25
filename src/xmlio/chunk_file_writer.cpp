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

// The save protocol around `write(root, run)`: with a start callback, the
// chunks below the root are counted first (none: nothing happens), then the
// run starts with that total; the end callback follows the write.
template <class Write>
bool RunSave(boost::shared_ptr<IChunk> root, ProgressState& progress, Write write) {
  ProgressRun run(ProgressRun::Kind::kSave, progress);
  if (run.HasStart()) {
    unsigned int total = 0;
    root->allNumChild(total);
    if (total == 0) return false;
    run.Start(total);
  }
  const bool written = write(std::move(root), run);
  run.End();
  return written;
}

}  // namespace

bool WriteChunkFile(const CString& path, boost::shared_ptr<IChunk> root, ProgressState& progress) {
  if (path.IsEmpty() || !root) return false;
  return RunSave(
      std::move(root), progress, [&path](boost::shared_ptr<IChunk> tree, ProgressRun& run) {
        std::string rootName;
        const bool named = RootName(*tree, rootName);
        platform::FileReplacement file(path);
        const bool writing = named && file.Open();
        xmldom::FileTextSink sink(file);
        WriteTree(std::move(tree), named ? &rootName : nullptr, writing ? &sink : nullptr, run);
        return writing && file.Commit();
      });
}

bool WriteChunkText(boost::shared_ptr<IChunk> root, xmldom::TextSink& sink,
                    ProgressState& progress) {
  if (!root) return false;
  return RunSave(
      std::move(root), progress, [&sink](boost::shared_ptr<IChunk> tree, ProgressRun& run) {
        std::string rootName;
        const bool named = RootName(*tree, rootName);
        WriteTree(std::move(tree), named ? &rootName : nullptr, named ? &sink : nullptr, run);
        return named;
      });
}

}  // namespace xmlio
}  // namespace corvane
