#include "xmlio/chunk_file_reader.h"

#include <corvane/extras/chunk_file_format.h>

#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "chunk/value_parse.h"
#include "platform/readable_file.h"
#include "xmldom/xml_parser.h"
#include "xmlio/element_chunks.h"
#include "xmlio/progress_run.h"

namespace corvane {
namespace xmlio {
namespace {

struct Attributes {
  const char* name = "";
  const char* type = "";
  const char* value = "";

  explicit Attributes(const char** pairs) {
    for (; *pairs != nullptr; pairs += 2) {
      const char* key = pairs[0];
      if (key[0] == kNameAttribute[0] && std::strcmp(key, kNameAttribute) == 0)
        name = pairs[1];
      else if (key[0] == kTypeAttribute[0] && std::strcmp(key, kTypeAttribute) == 0)
        type = pairs[1];
      else if (key[0] == kValueAttribute[0] && std::strcmp(key, kValueAttribute) == 0)
        value = pairs[1];
    }
  }
};

std::string Explain(chunk::DropReason reason, const Attributes& attributes) {
  const std::string type = attributes.type;
  const std::string value = attributes.value;
  switch (reason) {
    case chunk::DropReason::kUnknownType:
      return "unknown type tag \"" + type + "\"";
    case chunk::DropReason::kBadNumber:
      return "value \"" + value + "\" is not a number of type " + type;
    case chunk::DropReason::kWrongComponentCount:
      return "value \"" + value + "\" has the wrong number of components for " + type;
    case chunk::DropReason::kNone:
      break;
  }
  return chunk::DropReasonText(reason);
}

// The reading pass: one chunk per element. The document element's chunk
// reaches the target at once; every other chunk is gathered for its parent
// when it ends, and the gathered children join the parent when the parent
// ends (see EndElement). A run stopped by an exception leaves each open
// chunk with the children completed so far, as the host's pointer shows it.
class TreeBuilder : public xmldom::ElementListener {
 public:
  TreeBuilder(boost::shared_ptr<IChunk>& root, ProgressRun& progress,
              const LeftOutObserver& observer, const xmldom::XmlParser& parser)
      : m_root(root), m_progress(progress), m_observer(observer), m_parser(parser) {}
  TreeBuilder(const TreeBuilder&) = delete;
  TreeBuilder& operator=(const TreeBuilder&) = delete;
  ~TreeBuilder() override {
    // Open elements remain only when the run stopped early; swapping cannot throw.
    for (std::size_t level = 0; level < m_stack.size(); ++level)
      m_stack[level]->children().swap(m_levels[level]);
  }

  unsigned long long leftOut() const { return m_leftOut; }

  void StartElement(const char* tag, const char** pairs) override {
    if (m_skipping > 0) {  // inside an element left out
      ++m_skipping;
      ++m_dropped.elementsInside;
      return;
    }
    m_progress.Step();
    const Attributes attributes(pairs);
    if (!m_observer.empty()) PushPath(tag, attributes.name);
    chunk::DropReason reason = chunk::DropReason::kNone;
    boost::shared_ptr<IChunk> chunk =
        m_chunks.Build(tag, attributes.name, attributes.type, attributes.value, &reason);
    if (!chunk) {
      m_skipping = 1;
      m_dropped.elementsInside = 0;
      if (!m_observer.empty()) {
        m_dropped.line = m_parser.CurrentLine();
        m_dropped.path = m_path;
        m_dropped.reason = Explain(reason, attributes);
      }
      if (m_stack.empty()) m_root.reset();
      return;
    }
    if (m_stack.empty()) m_root = chunk;
    // Children gather in a list kept per level, reused from element to
    // element, and move into their parent's own list, sized exactly, when
    // the parent ends: one allocation per parent, no spare room.
    if (m_stack.size() == m_levels.size()) m_levels.emplace_back();
    m_levels[m_stack.size()].clear();
    m_stack.push_back(std::move(chunk));
  }

  void EndElement() override {
    if (m_skipping > 0) {
      if (--m_skipping > 0) return;
      m_leftOut += 1 + m_dropped.elementsInside;
      if (!m_observer.empty()) {
        m_observer(m_dropped);
        PopPath();
      }
      return;
    }
    IChunk::ChildList& gathered = m_levels[m_stack.size() - 1];
    if (!gathered.empty()) {
      m_stack.back()->children().assign(std::make_move_iterator(gathered.begin()),
                                        std::make_move_iterator(gathered.end()));
      gathered.clear();
    }
    if (m_stack.size() > 1) m_levels[m_stack.size() - 2].push_back(std::move(m_stack.back()));
    m_stack.pop_back();
    if (!m_observer.empty()) PopPath();
  }

 private:
  void PushPath(const char* tag, const char* name) {
    m_pathStarts.push_back(m_path.size());
    AppendPathStep(m_path, tag, name);
  }
  void PopPath() {
    m_path.resize(m_pathStarts.back());
    m_pathStarts.pop_back();
  }

  boost::shared_ptr<IChunk>& m_root;
  ProgressRun& m_progress;
  const LeftOutObserver& m_observer;
  const xmldom::XmlParser& m_parser;
  ElementChunks m_chunks;
  std::vector<boost::shared_ptr<IChunk>> m_stack;  // the chunks of the open elements
  std::vector<IChunk::ChildList> m_levels;         // the children gathered at each open level
  unsigned long m_skipping = 0;                    // depth inside an element left out
  unsigned long long m_leftOut = 0;
  LeftOutElement m_dropped;  // the element being skipped, for the observer
  std::string m_path;        // the open elements, for the observer
  std::vector<std::size_t> m_pathStarts;
};

LoadReport Failed(const xmldom::ParseFailure& failure) {
  LoadReport report;
  report.failure = failure.reason;
  report.line = failure.line;
  report.column = failure.column;
  return report;
}

}  // namespace

const char kUnreadableFile[] =
    "the file cannot be read (missing, not a regular file, or no access)";

LoadReport ReadChunkFile(const CString& path, boost::shared_ptr<IChunk>& root,
                         ProgressState& progress, const LeftOutObserver& observer) {
  using Namespaces = xmldom::XmlParser::Namespaces;
  LoadReport report;
  platform::ReadableFile file;
  if (!file.Open(path)) {
    report.failure = kUnreadableFile;
    return report;
  }
  ProgressRun run(ProgressRun::Kind::kRead, progress);
  xmldom::XmlParser parser;
  if (!run.MayReport() && observer.empty()) {
    // Nothing can be told while reading: one pass checks and builds at once,
    // and the tree reaches the host only when the document is accepted.
    const unsigned int position = run.Position();
    boost::shared_ptr<IChunk> built;
    TreeBuilder builder(built, run, observer, parser);
    if (!parser.ParseFile(file, Namespaces::kChecked, &builder)) {
      run.RestorePosition(position);
      return Failed(parser.Failure());
    }
    root = std::move(built);
    report.loads = true;
    report.elements = parser.Elements();
    report.leftOut = builder.leftOut();
    run.End();
    return report;
  }
  if (!parser.ParseFile(file, Namespaces::kChecked, nullptr)) return Failed(parser.Failure());
  report.elements = parser.Elements();
  // The document element is not counted in the total (32-bit, wrapping).
  run.Start(static_cast<unsigned int>(report.elements - 1));
  TreeBuilder builder(root, run, observer, parser);
  if (!file.Rewind() || !parser.ParseFile(file, Namespaces::kIgnored, &builder)) {
    // The file changed between the passes: the run that started ends.
    const LoadReport failed = Failed(parser.Failure());
    run.End();
    return failed;
  }
  report.loads = true;
  report.leftOut = builder.leftOut();
  run.End();
  return report;
}

}  // namespace xmlio
}  // namespace corvane
