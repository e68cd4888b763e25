// Text at the wrappers' boundary: narrow code page 936 (CString, const char*)
// to the engine's UTF-8 and back. ASCII passes untouched; invalid narrow
// bytes become U+FFFD and characters code page 936 cannot hold come back as
// '?' (names are converted strictly instead, see xml_name.h). Only
// std::bad_alloc escapes.
#pragma once

#include <corvane/platform/cstring.h>

#include <string>

namespace corvane {
namespace xmldom {

std::string NarrowToEngine(const char* text);
CString EngineToNarrow(const char* utf8);

}  // namespace xmldom
}  // namespace corvane
