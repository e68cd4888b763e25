#include "xmlio/chunk_file_reader.h"

#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "chunk/value_parse.h"
#include "platform/readable_file.h"
#include "xmldom/xml_parser.h"
#include "xmlio/element_chunks.h"

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
      if (key[0] == 'N' && std::strcmp(key, "Name") == 0)
        name = pairs[1];
      else if (key[0] == 'T' && std::strcmp(key, "Type") == 0)
        type = pairs[1];
      else if (key[0] == 'V' && std::strcmp(key, "Value") == 0)
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
// reaches the target at once; every other chunk joins its parent's children
// when the parent ends (see StartElement).
class TreeBuilder : public xmldom::ElementListener {
 public:
  TreeBuilder(boost::shared_ptr<IChunk>& root, ProgressRun& progress,
              const LeftOutObserver& observer, const xmldom::XmlParser& parser)
      : m_root(root), m_progress(progress), m_observer(observer), m_parser(parser) {}

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
    if (!m_stack.empty()) m_levels[m_stack.size() - 1].push_back(chunk);
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
    m_stack.pop_back();
    if (!m_observer.empty()) PopPath();
  }

 private:
  void PushPath(const char* tag, const char* name) {
    m_pathStarts.push_back(m_path.size());
    m_path += '/';
    m_path += *tag != '\0' ? tag : "att";
    if (*name == '\0') return;
    m_path += "[\"";
    m_path += name;
    m_path += "\"]";
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

void Fail(LoadReport& report, const xmldom::ParseFailure& failure) {
  report.loads = false;
  report.failure = failure.reason;
  report.line = failure.line;
  report.column = failure.column;
}

}  // namespace

const char kUnreadableFile[] =
    "the file cannot be read (missing, not a regular file, or no access)";

void ReadChunkFile(const CString& path, boost::shared_ptr<IChunk>& root, ProgressRun& progress,
                   const LeftOutObserver& observer, LoadReport& report) {
  using Namespaces = xmldom::XmlParser::Namespaces;
  report = LoadReport();
  platform::ReadableFile file;
  if (!file.Open(path)) {
    report.failure = kUnreadableFile;
    return;
  }
  xmldom::XmlParser parser;
  if (!progress.MayReport() && observer.empty()) {
    // Nothing can be told while reading: one pass checks and builds at once,
    // and the tree reaches the host only when the document is accepted.
    const unsigned int position = progress.Position();
    boost::shared_ptr<IChunk> built;
    TreeBuilder builder(built, progress, observer, parser);
    if (!parser.ParseFile(file, Namespaces::kChecked, &builder)) {
      progress.RestorePosition(position);
      return Fail(report, parser.Failure());
    }
    root = std::move(built);
    report.loads = true;
    report.elements = parser.Elements();
    report.leftOut = builder.leftOut();
    return;
  }
  if (!parser.ParseFile(file, Namespaces::kChecked, nullptr)) {
    return Fail(report, parser.Failure());
  }
  report.elements = parser.Elements();
  // The document element is not counted in the total (32-bit, wrapping).
  progress.Start(static_cast<unsigned int>(report.elements - 1));
  TreeBuilder builder(root, progress, observer, parser);
  if (!file.Rewind() || !parser.ParseFile(file, Namespaces::kIgnored, &builder)) {
    // The file changed between the passes.
    return Fail(report, parser.Failure());
  }
  report.loads = true;
  report.leftOut = builder.leftOut();
}

}  // namespace xmlio
}  // namespace corvane
