#include <corvane/module/corvane_app.h>

CCorvaneApp::CCorvaneApp() noexcept : CWinApp(NULL) {}

BOOL CCorvaneApp::InitInstance() {
  CWinApp::InitInstance();
  return TRUE;
}
