// The integer and text names that host code written for the original desktop
// framework uses. __int64 is a macro, not a typedef, so that it can also be
// written as `unsigned __int64`. On Windows each name is declared exactly as
// the system headers declare it, so <windows.h> may come before or after
// this header; DWORD is 32 bits on every platform.
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
typedef unsigned short WORD;
typedef unsigned int UINT;
typedef std::uintptr_t UINT_PTR;
#if defined(_WIN32)
typedef unsigned long DWORD;
typedef long LONG;
typedef LONG HRESULT;
#else
typedef std::uint32_t DWORD;
typedef long LONG;
typedef std::int32_t HRESULT;
#endif
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
static_assert(sizeof(DWORD) == 4, "DWORD must be 32 bits");
static_assert(sizeof(WORD) == 2, "WORD must be 16 bits");
