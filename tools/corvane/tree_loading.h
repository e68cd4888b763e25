// Loading an exchange file for a command, through the library's own report:
// the tree exactly as loading gives it, or why the file does not load, with
// line and column, in the words `check` uses.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/extras/load_report.h>

#include <boost/shared_ptr.hpp>
#include <cstdio>
#include <string>

namespace corvane {
namespace tool {

// "PATH does not load: REASON (line L, column C)" and a line feed.
void PrintLoadFailure(std::FILE* out, const std::string& path, const LoadReport& report);

// Whether `path` (UTF-8) opens for reading as loading opens it; when not,
// the reason goes to standard error as for a file that does not load.
bool CheckReadable(const std::string& path);

// Loads `path` (UTF-8, as given on the command line) into `root`, which is
// empty when the document element itself is left out. False when the file
// does not load; the reason then goes to standard error. Unless `quiet`, a
// note on standard error says how many elements loading leaves out.
bool LoadChunkTree(const std::string& path, boost::shared_ptr<IChunk>& root, bool quiet);

}  // namespace tool
}  // namespace corvane
