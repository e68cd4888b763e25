// CWinApp: the framework's application base, reduced to what a library's
// application object needs: a name, initialisation and exit. The first one
// constructed becomes the process's application (AfxGetApp) until it is
// destroyed. Built and used on the loading thread only.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/wintypes.h>

class CORVANE_API CWinApp {
 public:
  // `appName` is borrowed and may be nullptr (no name).
  explicit CWinApp(LPCSTR appName = nullptr) noexcept;
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Succeeds and does nothing; overrides add their own start-up.
  virtual BOOL InitInstance();
  // Returns the exit code 0.
  virtual int ExitInstance();

  LPCSTR m_pszAppName;
};

// The process's application object, nullptr when none exists.
CORVANE_API CWinApp* AfxGetApp() noexcept;
