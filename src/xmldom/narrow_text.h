// Text at the wrappers' boundary: narrow code page 936 (CString, const char*)
// to the engine's UTF-8 and back. ASCII passes untouched; characters code
// page 936 cannot hold come back as '?'. Only std::bad_alloc escapes.
#pragma once

#include <string>

#include <corvane/platform/cstring.h>

namespace DomXml {

std::string NarrowToEngine(const char* text);
CString EngineToNarrow(const char* utf8);

}  // namespace DomXml
