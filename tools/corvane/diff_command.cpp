#include <cstdio>
#include <cstdlib>
#include <string>

#include "corvane/commands.h"
#include "corvane/terminal.h"
#include "corvane/tree_diff.h"
#include "corvane/tree_loading.h"

namespace corvane {
namespace tool {

const char kDiffUsage[] =
    "usage: corvane diff A.xml B.xml [--max N] [--quiet]\n"
    "\n"
    "Compares the chunk trees that loading A and B gives (formatting, attribute\n"
    "order and elements that loading leaves out do not count). Siblings match by\n"
    "label and name, letter case ignored, and by their order among siblings of\n"
    "the same label and name. One line a difference, by path:\n"
    "  only in A: PATH             only in B: PATH\n"
    "  type changed: PATH: TYPE \"VALUE\" -> TYPE \"VALUE\"\n"
    "  value changed: PATH: \"VALUE\" -> \"VALUE\"\n"
    "then a summary. A path ends with #K for the K-th of siblings with the same\n"
    "label and name. --max N stops after N differences; --quiet prints neither\n"
    "differences nor summary. Exit status: 0 the same, 1 different, 2 trouble\n"
    "(a file that does not load: the reason, line and column are printed).\n";

namespace {

struct DiffOptions {
  std::string paths[2];
  unsigned long max = 0;  // 0: no limit
  bool quiet = false;
};

// Answers kExitOk when the arguments are good.
int ParseArguments(const Arguments& args, DiffOptions& options) {
  int files = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--quiet" || args[i] == "-q") {
      options.quiet = true;
    } else if (args[i] == "--max") {
      char* end = nullptr;
      if (i + 1 >= args.size()) return UsageError("--max needs a number", kDiffUsage);
      const long value = std::strtol(args[++i].c_str(), &end, 10);
      if (*end != '\0' || value < 1) return UsageError("--max needs a number >= 1", kDiffUsage);
      options.max = static_cast<unsigned long>(value);
    } else if (files < 2 && args[i].compare(0, 2, "--") != 0) {
      options.paths[files++] = args[i];
    } else {
      return UsageError("unexpected argument '" + args[i] + "'", kDiffUsage);
    }
  }
  return files == 2 ? kExitOk : UsageError("diff takes two files", kDiffUsage);
}

// TYPE "VALUE", or "no type" for a chunk without a value.
std::string TypedValue(IChunk& chunk) {
  if (chunk.type().IsEmpty()) return "no type";
  return Utf8(chunk.type()) + " \"" + Utf8(chunk.getValueAsString()) + "\"";
}

void PrintDifference(const Difference& difference) {
  const char* path = difference.path.c_str();
  switch (difference.kind) {
    case DifferenceKind::kOnlyInA:
      std::printf("only in A: %s\n", path);
      break;
    case DifferenceKind::kOnlyInB:
      std::printf("only in B: %s\n", path);
      break;
    case DifferenceKind::kTypeChanged:
      std::printf("type changed: %s: %s -> %s\n", path, TypedValue(*difference.a).c_str(),
                  TypedValue(*difference.b).c_str());
      break;
    case DifferenceKind::kValueChanged:
      std::printf("value changed: %s: \"%s\" -> \"%s\"\n", path,
                  Utf8(difference.a->getValueAsString()).c_str(),
                  Utf8(difference.b->getValueAsString()).c_str());
      break;
  }
}

void PrintSummary(const unsigned long (&counts)[4], unsigned long total, bool stopped) {
  if (total == 0) {
    std::printf("no differences\n");
    return;
  }
  if (stopped) {
    std::printf("stopped after %lu difference%s (--max)", total, total == 1 ? "" : "s");
  } else {
    std::printf("%lu difference%s", total, total == 1 ? "" : "s");
  }
  std::printf(": %lu only in A, %lu only in B, %lu type changed, %lu value changed\n", counts[0],
              counts[1], counts[2], counts[3]);
}

}  // namespace

int DiffCommand(const Arguments& args) {
  DiffOptions options;
  if (const int status = ParseArguments(args, options)) return status;
  // Both inputs are checked before either is loaded: a load may take long.
  if (!CheckReadable(options.paths[0]) || !CheckReadable(options.paths[1])) return kExitUsage;
  boost::shared_ptr<IChunk> trees[2];
  for (int i = 0; i < 2; ++i) {
    if (!LoadChunkTree(options.paths[i], trees[i], options.quiet)) return kExitUsage;
  }
  unsigned long counts[4] = {};
  unsigned long total = 0;
  const bool finished = DiffTrees(trees[0], trees[1], [&](const Difference& difference) {
    ++counts[static_cast<int>(difference.kind)];
    ++total;
    if (!options.quiet) PrintDifference(difference);
    return options.max == 0 || total < options.max;
  });
  if (!options.quiet) PrintSummary(counts, total, !finished);
  return total == 0 ? kExitOk : kExitFailure;
}

}  // namespace tool
}  // namespace corvane
