#include <corvane/platform/afx_winapp.h>

namespace {
// Set and cleared only during static construction and destruction, which
// run on one thread.
CWinApp* g_application = nullptr;
}  // namespace

CWinApp::CWinApp(LPCSTR appName) noexcept : m_pszAppName(appName) {
  if (g_application == nullptr) g_application = this;
}

CWinApp::~CWinApp() {
  if (g_application == this) g_application = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() noexcept { return g_application; }
