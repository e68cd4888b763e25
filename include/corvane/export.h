// Export mark of the shared library. Everything is hidden by default; what a
// host may call carries CORVANE_API. On Windows it exports from the DLL while
// the library is built (CORVANE_BUILDING) and imports in hosts; programs that
// link the library's internal static libraries (CORVANE_STATIC, set by those
// targets) see neither.
#pragma once

#if defined(_WIN32)
#if defined(CORVANE_BUILDING)
#define CORVANE_API __declspec(dllexport)
#elif defined(CORVANE_STATIC)
#define CORVANE_API
#else
#define CORVANE_API __declspec(dllimport)
#endif
#else
#define CORVANE_API __attribute__((visibility("default")))
#endif

// Marks a printf-style member (format at argument `f`, values from `v`) so
// that compilers that can check the values do.
#if defined(__GNUC__) || defined(__clang__)
#define CORVANE_PRINTF(f, v) __attribute__((format(printf, f, v)))
#else
#define CORVANE_PRINTF(f, v)
#endif
