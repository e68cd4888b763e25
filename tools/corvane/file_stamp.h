// Whether a save of the library wrote its file. Saves fail quietly by design
// (a folder that does not exist, no permission), so the tool looks at the
// file before and after: a save that failed left the old file whole, or none.
#pragma once

#include <string>

namespace corvane {
namespace tool {

struct FileStamp {
  bool exists = false;
  bool regular = false;
  unsigned long long device = 0, inode = 0, size = 0;
  long long modifiedSeconds = 0, modifiedNanoseconds = 0;
};

FileStamp StampOf(const std::string& path);

// Whether `after` shows a file written since `before`. A device or pipe
// keeps no trace of a write; it counts as written.
bool Rewritten(const FileStamp& before, const FileStamp& after);

}  // namespace tool
}  // namespace corvane
