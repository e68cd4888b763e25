#include <corvane/module/corvane_app.h>

CCorvaneApp::CCorvaneApp() noexcept : CWinApp(nullptr) {}

BOOL CCorvaneApp::InitInstance() {
  CWinApp::InitInstance();
  return TRUE;
}
