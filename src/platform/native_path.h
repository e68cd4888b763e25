// Paths cross from the library's text (narrow code page 936) to the bytes the
// file system names files by (UTF-8 here). The conversion is strict: bytes
// that are not code page 936 text make it fail, so that two different narrow
// paths can never reach the same file. A null or empty path fails too.
#pragma once

#include <string>

namespace corvane {
namespace platform {

// Replaces `native` with the file system's form of `narrowPath`; false (and
// `native` empty) when there is no such form.
bool NativePath(const char* narrowPath, std::string& native);

}  // namespace platform
}  // namespace corvane
