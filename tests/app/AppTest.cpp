#include "DialogDriver.h"
#include "Md5App.h"
#include "Md5Dlg.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

CMd5App* g_app = nullptr;

// InitInstance runs the main dialog modally with whatever the command line held, and returns
// false once the dialog is closed, by "退 出" or by the close box alike.
TEST(Md5App, RunsTheMainDialogIgnoringTheCommandLine)
{
    for (const bool exitButton : {true, false}) {
        bool sawDialog = false;
        std::string path, digest;
        bool returned = false;
        EXPECT_TRUE(WithNextModal([&] { returned = !g_app->InitInstance(); },
                                  [&](CTemplateDialog& dlg) {
                                      sawDialog = g_app->m_pMainWnd == &dlg;
                                      path = dlg.GetDlgItemText(IDC_PATH);
                                      digest = dlg.GetDlgItemText(IDC_MD5);
                                      if (exitButton)
                                          ClickItem(dlg, IDOK);
                                      else
                                          ClickCloseBox(dlg);
                                  }));
        EXPECT_TRUE(returned);
        EXPECT_TRUE(sawDialog) << "the dialog is the main window while it runs";
        EXPECT_EQ(g_app->m_pMainWnd, nullptr) << "and no longer afterwards";
        EXPECT_EQ(path, "");
        EXPECT_EQ(digest, "");
        EXPECT_EQ(g_app->ExitInstance(), 0);
    }
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
