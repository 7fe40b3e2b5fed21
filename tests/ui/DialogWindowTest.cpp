#include "AboutDlg.h"
#include "DialogFixture.h"

#include <gtest/gtest.h>

namespace {

// A click at the centre of every control a user can click, delivered to the window: the
// control under the pointer must be the one that reacts, whatever frames it.
TEST(DialogWindow, EveryControlAnswersAClickAtItsCentre)
{
    DialogFixture f;
    std::vector<std::string> linkOpens;
    f.dlg.SiteLink().SetLauncher({[&](const std::string& url, int) {
                                      linkOpens.push_back(url);
                                      return 42;
                                  },
                                  [](CTemplateDialog*, int) {}, [] {}});

    f.Click(IDC_PATH);
    EXPECT_TRUE(HasFocus(f.dlg, IDC_PATH)) << "path box";
    f.Click(IDC_BROWSE);
    EXPECT_EQ(f.chooserOpened, 1) << "浏览文件";
    f.Click(IDC_QUERY);
    EXPECT_EQ(f.opened.size(), 1u) << "查询MD5值";
    f.Click(IDC_SITE_LINK);
    EXPECT_EQ(linkOpens, std::vector<std::string>{"http://www.zanfo.com/"}) << "the link";

    f.Drop({f.Sparse("big", 512 * 1048576ull)});
    ASSERT_TRUE(f.Running());
    f.Click(IDC_CALC);
    EXPECT_TRUE(f.AtRest()) << "停止";

    f.Click(IDOK);
    EXPECT_FALSE(f.dlg.IsWindowVisible()) << "退 出";
}

// Hover colour, hand cursor and tooltip come from the pointer moving over the link in the dialog.
TEST(DialogWindow, TheLinkAnswersThePointer)
{
    DialogFixture f;
    const CLinkStatic& link = f.dlg.SiteLink();
    MovePointerTo(f.dlg, IDC_MD5);
    EXPECT_FALSE(link.IsHovering());
    EXPECT_TRUE(HandCursorOver(f.dlg, IDC_SITE_LINK));
    EXPECT_TRUE(link.IsHovering());
    EXPECT_TRUE(ItemShowsColour(f.dlg, IDC_SITE_LINK, CWindowSystem::HighlightColour()));
    EXPECT_EQ(ShownToolTip(), "http://www.zanfo.com/");
    EXPECT_FALSE(HandCursorOver(f.dlg, IDC_MD5));
    EXPECT_FALSE(link.IsHovering());
    EXPECT_TRUE(ItemShowsColour(f.dlg, IDC_SITE_LINK, Rgb(0, 0, 238)));
}

// What the user first sees: at rest, with empty boxes and the link to the service.
TEST(DialogWindow, TheMainDialogAtRest)
{
    DialogFixture f;
    EXPECT_TRUE(f.AtRest());
    for (const int id : {IDC_PATH, IDC_MD5, IDC_FILE_NAME, IDC_FILE_SIZE, IDC_DESCRIPTION, IDC_COMPANY, IDC_PRODUCT_NAME,
                         IDC_PRODUCT_VERSION})
        EXPECT_EQ(f.Text(id), "") << id;
    EXPECT_EQ(f.dlg.SiteLink().LinkUrl(), "http://www.zanfo.com/");
    EXPECT_EQ(f.Text(IDC_SITE_LINK), "访问Zanfo文件诊所");
}

}  // namespace
