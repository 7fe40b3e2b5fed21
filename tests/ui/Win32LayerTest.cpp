#include "app/AboutDlg.h"
#include "platform/WideText.h"
#include "tests/support/DialogFixture.h"
#include "version/VersionStrings.h"

#include <gtest/gtest.h>

#include "platform/Win32Api.h"

namespace {

// What Windows' own dialog manager made of the in-memory templates: the title, and every
// control's class, text, style, place and tab order as the table gives them.
TEST(Win32Layer, TheDialogManagerBuildsTheTemplates)
{
    CMd5Dlg main;
    main.Create();
    CAboutDlg about(&main);
    about.Create();
    const char* const classes[] = {"Button", "Edit", "Static", "msctls_progress32"};
    for (CTemplateDialog* dlg : {static_cast<CTemplateDialog*>(&main), static_cast<CTemplateDialog*>(&about)}) {
        const DialogTemplate& table = dlg->Template();
        const HWND window = static_cast<HWND>(dlg->NativeWindow());
        wchar_t title[128] = {};
        GetWindowTextW(window, title, 128);
        EXPECT_EQ(zanfo::Narrow(title), table.title);
        HWND child = GetWindow(window, GW_CHILD);
        for (const DialogItemTemplate& item : table.items) {
            ASSERT_NE(child, nullptr) << item.text;
            EXPECT_EQ(GetDlgCtrlID(child), item.id) << item.text;
            wchar_t className[64] = {};
            GetClassNameW(child, className, 64);
            EXPECT_EQ(zanfo::Narrow(className), classes[static_cast<int>(item.controlClass)]) << item.text;
            const bool icon = (item.style & Style::kStaticTypeMask) == Style::kStaticIcon && item.controlClass == ControlClass::Static;
            const bool link = item.id == IDC_SITE_LINK;  // SS_NOTIFY and fitted to its text
            // Windows draws a border as an edge of the control's own (or its theme's), moves the
            // default mark to the button that has the focus; visibility is the dialog's to change.
            const std::uint32_t changing = Style::kVisible | Style::kBorder | (link ? Style::kStaticNotify : 0) |
                                           (item.controlClass == ControlClass::Button ? Style::kButtonDefault : 0);
            const auto style = static_cast<std::uint32_t>(GetWindowLongW(child, GWL_STYLE));
            EXPECT_EQ(style & ~changing, item.style & ~changing) << item.text;
            if (!icon && item.id != IDC_STATIC && !link) {
                EXPECT_EQ(dlg->GetDlgItemText(item.id), item.text);
                EXPECT_EQ(dlg->GetItemRect(item.id), dlg->MapDialogRect(item.x, item.y, item.cx, item.cy)) << item.text;
            }
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr) << "no control beyond the table";
    }
}

// The program's resource script, linked into this test as into the program: its version strings
// as the program's own reader finds them in the executable.
TEST(Win32Layer, TheResourceScriptsVersionStringsReadBack)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string strings[4];
    EXPECT_EQ(ReadVersionStrings(zanfo::Narrow(self), strings[0], strings[1], strings[2], strings[3]), 1);
    EXPECT_EQ(std::vector<std::string>(strings, strings + 4),
              (std::vector<std::string>{"Zanfo文件诊所MD5值计算工具", "Zanfo", "MD5值计算工具 ", ZANFO_VERSION_COMMAS "beta"}));
}

}  // namespace
