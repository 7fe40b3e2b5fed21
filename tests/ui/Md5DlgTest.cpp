#include "DialogFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(Md5Dlg, EnterAndEscapeDoNothingWhereverTheFocusIs)
{
    DialogFixture f;
    f.dlg.SetDlgItemText(IDC_PATH, f.Pattern("typed", 1000));
    for (const int focus : {IDC_PATH, IDC_BROWSE, IDOK, IDC_MD5, IDC_QUERY, IDC_ABOUT}) {
        f.dlg.GotoDlgItem(focus);
        for (const int key : {kKeyReturn, kKeyEscape})
            PressKey(f.dlg, key);
    }
    EXPECT_TRUE(f.dlg.IsWindowVisible());
    EXPECT_EQ(f.chooserOpened, 0);
    EXPECT_TRUE(f.opened.empty());
    EXPECT_EQ(f.Text(IDC_MD5), "") << "Enter in the path box starts nothing";
}

// 关 于 and the system menu's About range open the box; Escape, or Enter on its default button
// 确定, closes it, and so does its own 确定 clicked.
TEST(Md5Dlg, AboutOpensFromItsButtonAndOnlyItsOwnSystemCommands)
{
    DialogFixture f;
    enum Close { EnterKey, EscapeKey, OkButton };
    const std::tuple<std::function<void()>, bool, Close> cases[] = {
        {[&] { f.Click(IDC_ABOUT); }, true, OkButton},
        {[&] { f.dlg.OnSysCommand(0x0010, 0); }, true, EnterKey},  // the low four bits are the system's own
        {[&] { f.dlg.OnSysCommand(0x0011, 0); }, true, EscapeKey},
        {[&] { f.dlg.OnSysCommand(0x001F, 0); }, true, EscapeKey},
        {[&] { f.dlg.OnSysCommand(0x000F, 0); }, false, EscapeKey},
        {[&] { f.dlg.OnSysCommand(0x0020, 0); }, false, EscapeKey},
        {[&] { f.dlg.OnSysCommand(0xF020, 0); }, false, EscapeKey},
        {[&] { f.dlg.OnSysCommand(0x1010, 0); }, false, EscapeKey},
    };
    int row = 0;
    for (const auto& [open, opens, close] : cases) {
        std::string title;
        bool closed = false;
        const bool opened = WithNextModal(open, [&, close = close](CTemplateDialog& box) {
            title = box.Template().title;
            if (close == OkButton)
                ClickItem(box, IDOK);
            else
                PressKey(box, close == EnterKey ? kKeyReturn : kKeyEscape);
            closed = !box.IsWindowVisible();
            box.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(opened, opens) << row;
        EXPECT_EQ(closed, opens) << row;
        EXPECT_EQ(title, opens ? "关于MD5值计算工具" : "") << row++;
    }
    EXPECT_TRUE(f.dlg.IsWindowVisible());
}

TEST(Md5Dlg, QueryOpensTheStartPageOrTheSearchPage)
{
    DialogFixture f;
    f.Click(IDC_QUERY);
    f.dlg.SetDlgItemText(IDC_MD5, "900150983CD24FB0D6963F7D28E17F72");
    f.Click(IDC_QUERY);
    const std::vector<std::pair<std::string, int>> expected = {
        {"http://www.zanfo.com/", 1},
        {"http://www.zanfo.com/Search/FileSearch.aspx?SearchValue=900150983CD24FB0D6963F7D28E17F72&FileSearch=0&SearchType=1", 1},
    };
    EXPECT_EQ(f.opened, expected);
}

TEST(Md5Dlg, ProgressMovesTheBarAndAtHundredReturnsToRest)
{
    DialogFixture f;
    f.dlg.ShowDlgItem(IDC_PROGRESS, true);
    f.dlg.ShowDlgItem(IDC_CALC, true);
    f.dlg.SetDlgItemText(IDC_CALC, "停止");
    for (const int percent : {99, 100}) {
        EXPECT_EQ(f.dlg.SendDlgMessage(WM_MD5_PROGRESS, percent, 0), 1);
        EXPECT_EQ(f.dlg.GetProgressPos(IDC_PROGRESS), percent);
        EXPECT_EQ(f.Running(), percent < 100);
        EXPECT_EQ(f.AtRest(), percent == 100);
    }
}

}  // namespace
