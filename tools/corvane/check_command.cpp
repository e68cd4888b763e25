#include <cstdio>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <pugixml.hpp>

#include <corvane/xmldom/xml.h>

#include "corvane/commands.h"
#include "corvane/terminal.h"
#include "chunk/value_parse.h"
#include "xmldom/dom_access.h"
#include "xmlio/chunk_tree_reader.h"
#include "xmlio/progress_cursor.h"

namespace corvane {
namespace tool {

const char kCheckUsage[] =
    "usage: corvane check FILE.xml\n"
    "\n"
    "Loads FILE with the library's reader and lists every element that loading\n"
    "leaves out, with its line, its path of labels and the reason, and how many\n"
    "elements that drops in all. Exit status: 0 when nothing is lost, 1 when\n"
    "something is, 2 when the file does not open (the reason is printed).\n";

namespace {

const char* OpenFailureText(DomXml::OpenFailure::Kind kind) {
  switch (kind) {
    case DomXml::OpenFailure::kUnreadable: return "cannot be read (missing, not a file, or unreadable)";
    case DomXml::OpenFailure::kNotWellFormed: return "is not well-formed XML";
    case DomXml::OpenFailure::kDoctype: return "has a document type declaration (DTD), which is refused";
    case DomXml::OpenFailure::kTooDeep: return "nests elements deeper than the limit of 256 levels";
    case DomXml::OpenFailure::kUnknownEncoding: return "declares an encoding that is not known";
    case DomXml::OpenFailure::kNone: break;
  }
  return "does not open";
}

// The element as the reader labels it, with its name when it has one.
std::string ElementName(pugi::xml_node element) {
  std::string label = *element.name() != '\0' ? element.name() : "att";
  const char* name = element.attribute("Name").value();
  if (*name != '\0') label += std::string("[\"") + name + "\"]";
  return label;
}

// The labels from the document element down to `element`, joined by "/".
std::string LabelPath(pugi::xml_node element) {
  std::vector<std::string> labels;
  for (pugi::xml_node node = element; node && node.type() == pugi::node_element;
       node = node.parent()) {
    labels.push_back(ElementName(node));
  }
  std::string path;
  for (auto it = labels.rbegin(); it != labels.rend(); ++it) path += "/" + *it;
  return path;
}

// The reader's reason, with the attribute texts it was decided on.
std::string Explain(pugi::xml_node element, DropReason reason) {
  const std::string type = element.attribute("Type").value();
  const std::string value = element.attribute("Value").value();
  switch (reason) {
    case DropReason::kUnknownType:
      return "unknown type tag \"" + type + "\"";
    case DropReason::kBadNumber:
      return "value \"" + value + "\" is not a number of type " + type;
    case DropReason::kWrongComponentCount:
      return "value \"" + value + "\" has the wrong number of components for " + type;
    case DropReason::kNone:
      break;
  }
  return DropReasonText(reason);
}

}  // namespace

int CheckCommand(const Arguments& args) {
  if (args.size() != 1 || args[0].compare(0, 2, "--") == 0) {
    return UsageError("check takes one file", kCheckUsage);
  }
  const std::string& path = args[0];
  DomXml::CXml document;
  DomXml::OpenFailure failure;
  DomXml::OpenOptions options;
  options.keepText = true;
  if (!DomXml::OpenDocument(document, NarrowPath(path), &failure, options)) {
    std::printf("%s %s", path.c_str(), OpenFailureText(failure.kind));
    const std::string* text = DomXml::DocumentAccess::Text(document);
    if (failure.offset >= 0 && text != nullptr) {
      std::printf(" (line %d", DomXml::LineOfOffset(*text, failure.offset));
      if (!failure.message.empty()) std::printf(": %s", failure.message.c_str());
      std::printf(")");
    } else if (!failure.message.empty()) {
      std::printf(" (%s)", failure.message.c_str());
    }
    std::printf("\n");
    return kExitUsage;
  }

  const pugi::xml_document* dom = DomXml::DocumentAccess::Document(document);
  const std::string* text = DomXml::DocumentAccess::Text(document);
  const pugi::xml_node root = dom->document_element();
  const unsigned int total = xmlio::CountDescendantElements(root) + 1u;
  unsigned long dropped = 0;
  unsigned long lost = 0;

  StartProgressFun noStart;
  SetPosFun noPosition;
  unsigned int position = 0;
  unsigned int progressTotal = 0;
  xmlio::ChunkTreeReader reader(
      xmlio::ProgressCursor(nullptr, &noPosition, &position, &progressTotal));
  reader.SetDropObserver([&](pugi::xml_node element, DropReason reason) {
    const int line = text != nullptr ? DomXml::LineOfOffset(*text, element.offset_debug()) : 0;
    const unsigned int inside = xmlio::CountDescendantElements(element);
    std::printf("line %d: %s: %s", line, LabelPath(element).c_str(), Explain(element, reason).c_str());
    if (inside > 0) std::printf(" (%u elements inside it go too)", inside);
    std::printf("\n");
    ++dropped;
    lost += 1ul + inside;
  });
  boost::shared_ptr<IChunk> tree;
  reader.Read(tree, root);

  if (dropped == 0) {
    std::printf("%s: all %u elements load\n", path.c_str(), total);
    return kExitOk;
  }
  std::printf("%s: %lu element%s left out, %lu of %u elements lost in all%s\n", path.c_str(),
              dropped, dropped == 1 ? "" : "s", lost, total,
              tree ? "" : "; the document element itself is left out, so nothing loads");
  return kExitFailure;
}

}  // namespace tool
}  // namespace corvane
