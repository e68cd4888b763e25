// The integer and text names that host code written for the original desktop
// framework uses. __int64 is a macro, not a typedef, so that it can also be
// written as `unsigned __int64`.
#pragma once

#include <cstddef>
#include <cstdint>

#if !defined(_MSC_VER)
#ifndef __int64
#define __int64 long long
#endif
#endif

typedef int BOOL;
typedef unsigned char BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef unsigned int UINT;
typedef std::uintptr_t UINT_PTR;
typedef long LONG;
typedef std::int32_t HRESULT;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef const wchar_t* LPCWSTR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

static_assert(sizeof(__int64) == 8, "__int64 must be 64 bits");
static_assert(sizeof(unsigned __int64) == 8, "unsigned __int64 must be 64 bits");
