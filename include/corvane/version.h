// Library version: the one place that the build reads it from.
#pragma once

#define CORVANE_VERSION_MAJOR 0
#define CORVANE_VERSION_MINOR 1
#define CORVANE_VERSION_PATCH 0
#define CORVANE_VERSION_STRING "0.1.0"

#include <corvane/export.h>

// The version of the library actually loaded, which may differ from the
// headers a host was compiled against.
CORVANE_API const char* CorvaneVersion();
