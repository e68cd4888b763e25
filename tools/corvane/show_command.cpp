#include <corvane/xmlio/xml_file_io.h>

#include <boost/shared_ptr.hpp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "corvane/commands.h"
#include "corvane/terminal.h"
#include "corvane/tree_listing.h"
#include "corvane/tree_loading.h"

namespace corvane {
namespace tool {

const char kShowUsage[] =
    "usage: corvane show FILE.xml [--depth N]\n"
    "\n"
    "Loads FILE as the library loads it and lists the chunk tree, one chunk a\n"
    "line: label, \"name\", [type] and value. Elements that loading leaves out\n"
    "are not listed (corvane check explains them). --depth N stops N levels\n"
    "below the root. Exit status: 0 listed, 1 the document element itself is\n"
    "left out, 2 bad arguments or a file that does not load (the reason, line\n"
    "and column are printed).\n";

int ShowCommand(const Arguments& args) {
  std::string path;
  int depth = -1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--depth") {
      char* end = nullptr;
      if (i + 1 >= args.size()) return UsageError("--depth needs a number", kShowUsage);
      const long value = std::strtol(args[++i].c_str(), &end, 10);
      if (*end != '\0' || value < 0) return UsageError("--depth needs a number >= 0", kShowUsage);
      depth = static_cast<int>(value);
    } else if (path.empty() && args[i].compare(0, 2, "--") != 0) {
      path = args[i];
    } else {
      return UsageError("unexpected argument '" + args[i] + "'", kShowUsage);
    }
  }
  if (path.empty()) return UsageError("show needs a file", kShowUsage);
  if (!CheckReadable(path)) return kExitUsage;

  XmlFileIO file(NarrowPath(path));
  const ProgressBar bar = MakeProgressBar();
  file.setStartProgressFun(bar.start);
  file.setSetPosFun(bar.position);
  file.SetEndProgressFun(bar.end);
  boost::shared_ptr<IChunk> root;
  file.read(root);
  if (!root) {
    // Read again only to say why, in the words of check, diff and convert.
    const LoadReport report = InspectChunkFile(NarrowPath(path));
    if (!report.loads) {
      std::fputs("corvane: ", stderr);
      PrintLoadFailure(stderr, path, report);
      return kExitUsage;
    }
    std::fprintf(stderr, "corvane: %s gives no chunk tree (corvane check %s tells why)\n",
                 path.c_str(), path.c_str());
    return kExitFailure;
  }
  ListTree(stdout, root, depth);
  return kExitOk;
}

}  // namespace tool
}  // namespace corvane
