#include <corvane/extras/load_report.h>

#include <cstdio>
#include <string>

#include "corvane/commands.h"
#include "corvane/terminal.h"
#include "corvane/tree_loading.h"

namespace corvane {
namespace tool {

const char kCheckUsage[] =
    "usage: corvane check FILE.xml\n"
    "\n"
    "Loads FILE with the library's reader and lists every element that loading\n"
    "leaves out, with its line, its path of labels and the reason, and how many\n"
    "elements that drops in all. Exit status: 0 when nothing is lost, 1 when\n"
    "something is, 2 when the file does not load (the reason is printed).\n";

int CheckCommand(const Arguments& args) {
  if (args.size() != 1 || args[0].compare(0, 2, "--") == 0) {
    return UsageError("check takes one file", kCheckUsage);
  }
  const std::string& path = args[0];
  unsigned long dropped = 0;
  boost::shared_ptr<IChunk> tree;
  const LoadReport report = InspectChunkFile(
      NarrowPath(path),
      [&](const LeftOutElement& element) {
        std::printf("line %lu: %s: %s", element.line, element.path.c_str(), element.reason.c_str());
        if (element.elementsInside > 0) {
          std::printf(" (%llu elements inside it go too)", element.elementsInside);
        }
        std::printf("\n");
        ++dropped;
      },
      &tree);
  if (!report.loads) {
    PrintLoadFailure(stdout, path, report);
    return kExitUsage;
  }
  if (dropped == 0) {
    std::printf("%s: all %llu elements load\n", path.c_str(), report.elements);
    return kExitOk;
  }
  std::printf("%s: %lu element%s left out, %llu of %llu elements lost in all%s\n", path.c_str(),
              dropped, dropped == 1 ? "" : "s", report.leftOut, report.elements,
              tree ? "" : "; the document element itself is left out, so nothing loads");
  return kExitFailure;
}

}  // namespace tool
}  // namespace corvane
