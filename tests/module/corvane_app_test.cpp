// The module's start-up: one application object built during static
// construction, registered as the process's application, whose
// initialisation succeeds and starts nothing.
#include <corvane/module/corvane_app.h>

#include <filesystem>

#include <gtest/gtest.h>

extern CCorvaneApp theApp;

namespace {

TEST(CorvaneAppTest, TheApplicationObjectExistsBeforeMain) {
  EXPECT_EQ(AfxGetApp(), &theApp);
  EXPECT_NE(dynamic_cast<CCorvaneApp*>(AfxGetApp()), nullptr);
  EXPECT_EQ(theApp.m_pszAppName, nullptr);
}

TEST(CorvaneAppTest, InitialisationSucceedsAndExitReturnsZero) {
  EXPECT_EQ(theApp.InitInstance(), TRUE);
  EXPECT_EQ(theApp.ExitInstance(), 0);
  EXPECT_EQ(AfxGetApp(), &theApp);
}

TEST(CorvaneAppTest, StartUpStartsNoThreads) {
  std::size_t threads = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    (void)entry;
    ++threads;
  }
  EXPECT_EQ(threads, 1u);
}

TEST(CorvaneAppTest, ASecondApplicationDoesNotTakeOver) {
  {
    CWinApp other("other");
    EXPECT_EQ(AfxGetApp(), &theApp);
    EXPECT_STREQ(other.m_pszAppName, "other");
  }
  EXPECT_EQ(AfxGetApp(), &theApp);
}

}  // namespace
