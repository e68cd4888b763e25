// The module's start-up: one application object built during static
// construction, registered as the process's application, whose
// initialisation succeeds and starts nothing.
#include <corvane/module/corvane_app.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

namespace {

TEST(CorvaneAppTest, TheApplicationExistsBeforeMainStartsNoThreadsAndKeepsItsPlace) {
  CCorvaneApp* app = dynamic_cast<CCorvaneApp*>(AfxGetApp());
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->m_pszAppName, nullptr);
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  EXPECT_EQ(std::distance(begin(tasks), end(tasks)), 1);
  EXPECT_EQ(app->InitInstance(), TRUE);
  EXPECT_EQ(app->ExitInstance(), 0);
  {
    CWinApp other("other");  // a later application does not take over
    EXPECT_STREQ(other.m_pszAppName, "other");
    EXPECT_EQ(AfxGetApp(), app);
  }
  EXPECT_EQ(AfxGetApp(), app);
}

}  // namespace
