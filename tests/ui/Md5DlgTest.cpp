#include "tests/support/DialogFixture.h"

#include <gtest/gtest.h>

namespace {

// The link answers the pointer moving over it in the dialog (hover colour, hand cursor,
// tooltip) and its clicks: a double-click opens once; visited shows until hovered again; a
// failed open shows its code, beeps, and leaves the link unvisited.
TEST(Md5Dlg, TheLinkAnswersThePointerAndItsClicks)
{
    DialogFixture f;
    CLinkStatic& link = f.dlg.SiteLink();
    int openResult = 42, beeps = 0;
    std::vector<int> errors;
    link.SetLauncher({[&](const std::string& url, int show) {
                          f.opened.emplace_back(url, show);
                          return openResult;
                      },
                      [&](CTemplateDialog*, int code) { errors.push_back(code); }, [&] { ++beeps; }});
    const Colour highlight = CWindowSystem::HighlightColour(), unvisited = Rgb(0, 0, 238), visited = Rgb(85, 26, 139);
    const auto shows = [&](Colour colour) { return ItemShowsColour(f.dlg, IDC_SITE_LINK, colour); };
    EXPECT_FALSE(HandCursorOver(f.dlg, IDC_MD5) || link.IsHovering());
    EXPECT_TRUE(HandCursorOver(f.dlg, IDC_SITE_LINK) && link.IsHovering() && shows(highlight));
    EXPECT_EQ(ShownToolTip(), "http://www.zanfo.com/");
    EXPECT_FALSE(HandCursorOver(f.dlg, IDC_MD5) || link.IsHovering());
    EXPECT_TRUE(shows(unvisited));
    ClickItem(f.dlg, IDC_SITE_LINK, 2);
    MovePointerTo(f.dlg, IDC_MD5);
    EXPECT_EQ(f.opened, (std::vector<std::pair<std::string, int>>{{"http://www.zanfo.com/", 5}})) << "a double-click opens once";
    EXPECT_TRUE(shows(visited));
    MovePointerTo(f.dlg, IDC_SITE_LINK);
    EXPECT_TRUE(shows(highlight)) << "hover wins over visited";
    const std::pair<int, bool> results[] = {{31, false}, {32, false}, {0, false}, {-1, false}, {33, true}, {42, true}};
    for (const auto& [result, opened] : results) {
        openResult = result;
        errors.clear();
        ClickItem(f.dlg, IDC_SITE_LINK);
        MovePointerTo(f.dlg, IDC_MD5);
        EXPECT_EQ(link.WasVisited(), opened) << result;
        EXPECT_EQ(errors, opened ? std::vector<int>{} : std::vector<int>{result}) << result;
        EXPECT_TRUE(shows(opened ? visited : unvisited)) << result;
    }
    EXPECT_EQ(beeps, 4);
}

TEST(Md5Dlg, EnterAndEscapeDoNothingWhereverTheFocusIs)
{
    DialogFixture f;
    f.Click(IDC_PATH);
    EXPECT_TRUE(HasFocus(f.dlg, IDC_PATH)) << "a click reaches the path box inside its frame";
    f.dlg.SetDlgItemText(IDC_PATH, f.Pattern("typed", 1000));
    for (const int focus : {IDC_PATH, IDC_BROWSE, IDOK, IDC_MD5, IDC_QUERY, IDC_ABOUT}) {
        f.dlg.GotoDlgItem(focus);
        for (const int key : {kKeyReturn, kKeyEscape})
            PressKey(f.dlg, key);
    }
    EXPECT_TRUE(f.dlg.IsWindowVisible() && f.chooserOpened + f.opened.size() == 0);
    EXPECT_EQ(f.Text(IDC_MD5), "") << "Enter in the path box starts nothing";
}

// 关 于 and the system menu's About range open the box; Escape, or Enter on its default button
// 确定, closes it, and so does its own 确定 clicked. Files dropped meanwhile are refused.
TEST(Md5Dlg, AboutOpensFromItsButtonAndOnlyItsOwnSystemCommands)
{
    DialogFixture f;
    enum Close { EnterKey, EscapeKey, OkButton };
    const auto command = [&](unsigned id) { return [&f, id] { f.dlg.OnSysCommand(id, 0); }; };
    // The low four bits of a system command are the system's own.
    // How the box is asked for, whether it opens, and how it is closed.
    const std::tuple<const char*, std::function<void()>, bool, Close> rows[] = {
        {"button-then-ok", [&] { f.Click(IDC_ABOUT); }, true, OkButton}, {"command-0x10-then-enter", command(0x0010), true, EnterKey},
        {"command-0x11-then-escape", command(0x0011), true, EscapeKey},  {"command-0x1F", command(0x001F), true, EscapeKey},
        {"command-0x0F-is-not-ours", command(0x000F), false, EscapeKey}, {"command-0x20-is-not-ours", command(0x0020), false, EscapeKey},
        {"minimise-is-the-systems", command(0xF020), false, EscapeKey},  {"command-0x1010-is-not-ours", command(0x1010), false, EscapeKey},
    };
    for (const auto& [name, open, opens, close] : rows) {
        std::string title;
        bool closed = false;
        const bool opened = WithNextModal(open, [&, close = close](CTemplateDialog& box) {
            title = box.Template().title;
            f.Drop({f.Pattern("dropped", 1000)});  // refused while the box runs, as a click would be
            close == OkButton ? ClickItem(box, IDOK) : PressKey(box, close == EnterKey ? kKeyReturn : kKeyEscape);
            closed = !box.IsWindowVisible();
            box.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(std::tie(opened, closed, title), std::make_tuple(opens, opens, std::string(opens ? "关于MD5值计算工具" : ""))) << name;
    }
    EXPECT_TRUE(f.dlg.IsWindowVisible());
    EXPECT_EQ(f.Texts({IDC_PATH, IDC_MD5}), (Strings{"", ""}));
}

}  // namespace
