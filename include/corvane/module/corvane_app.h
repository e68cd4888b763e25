// CCorvaneApp: the library's one application object, a global built during
// static construction with no name. Its initialisation succeeds and does
// nothing else; the library starts no threads. Used on the loading thread.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/afx_winapp.h>

class CORVANE_API CCorvaneApp : public CWinApp {
 public:
  CCorvaneApp() noexcept;

  // Runs the base initialisation and reports success.
  BOOL InitInstance() override;
};
