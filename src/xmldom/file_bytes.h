// Reads a whole regular file into memory. Directories, devices and pipes
// count as unreadable, so a read never waits or grows without bound beyond
// the file's size at opening. Thread-safe.
#pragma once

#include <string>

namespace DomXml {

// `path` is UTF-8. False when the file is missing, not a regular file, or a
// read fails; `bytes` is then unspecified.
bool ReadRegularFile(const std::string& path, std::string& bytes);

}  // namespace DomXml
