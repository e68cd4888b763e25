// The library's start-up and tear-down, by static construction alone. The
// pending chunk strings are constant-initialised elsewhere, so they exist
// and are empty before anything here runs. In this file the application
// object is built first and attached second; at unload the attachment goes
// first (ExitInstance) and the application object after it.
#include <corvane/module/corvane_app.h>

CCorvaneApp theApp;

namespace {

// Stands for the framework's process attach and detach of a library with an
// application object. Initialisation cannot fail (InitInstance returns TRUE)
// and nothing is there to report to, so its result is not inspected.
class ModuleAttachment {
 public:
  ModuleAttachment() { theApp.InitInstance(); }
  ~ModuleAttachment() { theApp.ExitInstance(); }
  ModuleAttachment(const ModuleAttachment&) = delete;
  ModuleAttachment& operator=(const ModuleAttachment&) = delete;
};

ModuleAttachment g_attachment;

}  // namespace
