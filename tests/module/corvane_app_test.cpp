// The module's start-up: one application object built during static
// construction, registered as the process's application, whose
// initialisation succeeds and starts nothing.
#include <corvane/module/corvane_app.h>

#include <filesystem>
#include <iterator>

#include <gtest/gtest.h>

extern CCorvaneApp theApp;

namespace {

TEST(CorvaneAppTest, TheApplicationObjectExistsBeforeMainAndStartsNoThreads) {
  EXPECT_EQ(AfxGetApp(), &theApp);
  EXPECT_EQ(theApp.m_pszAppName, nullptr);
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  EXPECT_EQ(std::distance(begin(tasks), end(tasks)), 1);
}

TEST(CorvaneAppTest, InitialisationSucceedsAndAnotherApplicationDoesNotTakeOver) {
  EXPECT_EQ(theApp.InitInstance(), TRUE);
  EXPECT_EQ(theApp.ExitInstance(), 0);
  {
    CWinApp other("other");
    EXPECT_STREQ(other.m_pszAppName, "other");
    EXPECT_EQ(AfxGetApp(), &theApp);
  }
  EXPECT_EQ(AfxGetApp(), &theApp);
}

}  // namespace
