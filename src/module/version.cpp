#include <corvane/version.h>

const char* CorvaneVersion() { return CORVANE_VERSION_STRING; }
