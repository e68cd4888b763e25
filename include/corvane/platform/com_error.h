// _com_error: the error that the component runtime's smart pointers raise,
// carrying a result code. DomXml::CXmlNodes::GetItem is the one DOM call that
// lets it escape (0x80004003 on a list wrapper that holds no list).
#pragma once

#include <corvane/export.h>
#include <corvane/platform/wintypes.h>

#ifndef E_POINTER
#define E_POINTER static_cast<HRESULT>(0x80004003L)
#endif
#ifndef E_NOINTERFACE
#define E_NOINTERFACE static_cast<HRESULT>(0x80004002L)
#endif
#ifndef E_FAIL
#define E_FAIL static_cast<HRESULT>(0x80004005L)
#endif

class CORVANE_API _com_error {
 public:
  explicit _com_error(HRESULT result) noexcept : m_result(result) {}
  HRESULT Error() const noexcept { return m_result; }

 private:
  HRESULT m_result;
};
