// Conversions among narrow text (code page 936), wide text and standard
// strings. Narrow-wide conversions never fail: invalid bytes and characters
// the code page cannot hold become replacement characters ('?' on the narrow
// side). Narrow-to-narrow conversions copy bytes unchanged. Every function
// stops at the first NUL. Safe to call from several threads at once.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/cstring.h>

#include <string>

namespace XmlOp {

CORVANE_API std::wstring _a2w(const std::string& text);
CORVANE_API std::wstring _a2w(const char* text);
CORVANE_API std::string _w2a(const std::wstring& text);
CORVANE_API std::string _w2a(const wchar_t* text);
CORVANE_API std::string CString2string(CString text);
CORVANE_API std::wstring CString2wstring(CString text);
CORVANE_API CString string2CString(std::string text);
CORVANE_API CString wstring2CString(std::wstring text);

}  // namespace XmlOp
