// Export mark of the shared library. Everything is hidden by default; what a
// host may call carries CORVANE_API. Static internal builds (tests, tools)
// see the same mark, which costs nothing there.
#pragma once

#if defined(_WIN32)
#if defined(CORVANE_BUILDING)
#define CORVANE_API __declspec(dllexport)
#else
#define CORVANE_API __declspec(dllimport)
#endif
#else
#define CORVANE_API __attribute__((visibility("default")))
#endif
