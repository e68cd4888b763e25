// corvane: the command-line companion of the library. It runs the main job on
// a built-in sample (demo), lists exchange files (show), explains what loading
// would leave out (check), compares two of them (diff), converts them to JSON
// and back (convert), and summarises or exports mesh files (mesh).
#include <corvane/extras/console.h>
#include <corvane/version.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "corvane/commands.h"

namespace {

const char kUsage[] =
    "usage: corvane COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  demo [DIR]                 write and read back a sample exchange file and mesh file\n"
    "  show FILE.xml [--depth N]  list the chunk tree that loading FILE gives\n"
    "  check FILE.xml             explain every element that loading would leave out\n"
    "  diff A.xml B.xml           list how the chunk trees of two files differ\n"
    "  convert IN OUT             exchange file to JSON (.xml to .json) and back\n"
    "  mesh FILE.bin [--obj OUT] [--json OUT]\n"
    "                             count meshes, faces and points; export to OBJ, JSON\n"
    "\n"
    "options:\n"
    "  --help                     this text (corvane COMMAND --help for a command)\n"
    "  --version                  the library version\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace corvane::tool;
  const Arguments all = corvane::PrepareConsole(argc, argv);
  if (all.empty()) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  const std::string command = all[0];
  const Arguments args(all.begin() + 1, all.end());
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  if (command == "--version") {
    std::printf("corvane %s\n", CorvaneVersion());
    return kExitOk;
  }
  struct Entry {
    const char* name;
    int (*run)(const Arguments&);
    const char* usage;
  };
  const Entry entries[] = {
      {"demo", DemoCommand, kDemoUsage},          {"show", ShowCommand, kShowUsage},
      {"check", CheckCommand, kCheckUsage},       {"diff", DiffCommand, kDiffUsage},
      {"convert", ConvertCommand, kConvertUsage}, {"mesh", MeshCommand, kMeshUsage}};
  for (const Entry& entry : entries) {
    if (command != entry.name) continue;
    if (WantsHelp(args)) {
      std::fputs(entry.usage, stdout);
      return kExitOk;
    }
    return entry.run(args);
  }
  return UsageError("unknown command '" + command + "'", kUsage);
}
