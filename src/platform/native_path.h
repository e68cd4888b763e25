// Paths cross from the library's text (narrow code page 936) to the form the
// file system names files by: UTF-8 bytes on POSIX, UTF-16 for the wide API
// on Windows. The conversion is strict: bytes that are not code page 936
// text make it fail, so that two different narrow paths can never reach the
// same file. A null or empty path fails too.
#pragma once

#include <string>

namespace corvane {
namespace platform {

#if defined(_WIN32)
using NativePathString = std::wstring;
#else
using NativePathString = std::string;
#endif

// Replaces `native` with the file system's form of `narrowPath`; false (and
// `native` empty) when there is no such form.
bool NativePath(const char* narrowPath, NativePathString& native);

}  // namespace platform
}  // namespace corvane
