#include "DialogDriver.h"
#include "Md5App.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

CMd5App* g_app = nullptr;

// InitInstance runs the main dialog modally, whatever the command line held, as the main window
// while it runs, and returns false once it is closed.
TEST(Md5App, RunsTheMainDialogIgnoringTheCommandLine)
{
    bool returned = false, wasMainWindow = false;
    std::string shown = "unset";
    EXPECT_TRUE(WithNextModal([&] { returned = !g_app->InitInstance(); },
                              [&](CTemplateDialog& dlg) {
                                  wasMainWindow = g_app->m_pMainWnd == &dlg;
                                  shown = dlg.GetDlgItemText(IDC_PATH) + dlg.GetDlgItemText(IDC_MD5);
                                  ClickItem(dlg, IDOK);
                              }));
    EXPECT_TRUE(returned && wasMainWindow);
    EXPECT_EQ(shown, "");
    EXPECT_EQ(g_app->m_pMainWnd, nullptr) << "no main window afterwards";
    EXPECT_EQ(g_app->ExitInstance(), 0);
}

}  // namespace

int main(int argc, char** argv)
{
#ifndef _WIN32
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
    testing::InitGoogleTest(&argc, argv);
    // A path and an option the program must not act on.
    int appArgc = 3;
    char program[] = "zanfo-md5", file[] = "/etc/hostname", option[] = "--lower";
    char* appArgv[] = {program, file, option, nullptr};
    CMd5App app(appArgc, appArgv);
    g_app = &app;
    return RUN_ALL_TESTS();
}
