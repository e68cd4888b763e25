// The XmlOp conversions over the code page 936 converter. Narrow-wide
// conversions read the text up to its first NUL and never fail; a null
// pointer gives an empty result.
#include <corvane/stream/xmlop.h>

#include <cstring>
#include <cwchar>

#include "platform/codepage.h"

namespace XmlOp {

std::wstring _a2w(const std::string& text) {
  return corvane::platform::NarrowToWide(text.c_str(), text.size());
}

std::wstring _a2w(const char* text) {
  if (text == nullptr) return std::wstring();
  return corvane::platform::NarrowToWide(text, std::strlen(text));
}

std::string _w2a(const std::wstring& text) {
  return corvane::platform::WideToNarrow(text.c_str(), text.size());
}

std::string _w2a(const wchar_t* text) {
  if (text == nullptr) return std::string();
  return corvane::platform::WideToNarrow(text, std::wcslen(text));
}

std::string CString2string(CString text) { return std::string(text.GetString()); }

std::wstring CString2wstring(CString text) { return _a2w(text.GetString()); }

CString string2CString(std::string text) { return CString(text.c_str()); }

CString wstring2CString(std::wstring text) {
  const std::string narrow = _w2a(text);
  return CString(narrow.data(), static_cast<int>(narrow.size()));
}

}  // namespace XmlOp
