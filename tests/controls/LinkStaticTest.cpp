// How a link label fits its text. Its colours, cursor, tooltip and clicks are shown on the main
// dialog's link, where the user meets them.
#include "DialogDriver.h"
#include "LinkStatic.h"

#include <gtest/gtest.h>

namespace {

const char* const kCaption = "访问Zanfo文件诊所";
constexpr int kId = 1014;

// A dialog holding one static (its place in dialog units, style and caption) made a link.
struct LinkFixture {
    DialogTemplate dialogTemplate;  // the dialog keeps a reference to it
    CTemplateDialog dlg;
    ItemRect before{}, text{};  // the static's place as the template gives it; the link text's size
    CLinkStatic link;

    explicit LinkFixture(ItemRect place, std::uint32_t style = 0, const std::string& caption = kCaption)
        : dialogTemplate{1, 0x80C800C0, 0, 400, 300, "link", "宋体", 9, {{kId, ControlClass::Static, caption, 0x50000000 | style, place.x, place.y, place.cx, place.cy}}}
        , dlg(dialogTemplate, nullptr)
    {
        if (caption.empty())
            link.SetLinkUrl("http://example.org/");
        dlg.Create();
        before = dlg.GetItemRect(kId);
        link.SubclassDlgItem(kId, &dlg);
        dlg.MeasureItemText(kId, text.cx, text.cy);
    }
    ItemRect Rect() const { return dlg.GetItemRect(kId); }
};

// The caption and the URL default to each other; the window shrinks to its text, keeping the
// sides its alignment bits name (centred: each side moves by half the difference, toward zero).
TEST(LinkStatic, SubclassingMakesALinkThatFitsItsText)
{
    LinkFixture f({24, 246, 130, 16});
    EXPECT_EQ(f.link.LinkUrl(), kCaption);
    EXPECT_EQ(f.Rect(), (ItemRect{f.before.x, f.before.y, f.text.cx, f.text.cy})) << "left and top stay";
    f.link.SetLinkUrl("http://www.zanfo.com/");
    EXPECT_EQ(f.dlg.GetDlgItemText(kId), kCaption) << "a new URL leaves the caption";
    LinkFixture empty({10, 10, 300, 40}, 0, "");
    EXPECT_EQ(empty.dlg.GetDlgItemText(kId), "http://example.org/");
    LinkFixture centred({100, 100, 150, 30}, Style::kStaticCenter | Style::kStaticCenterImage);
    const ItemRect box = centred.before;
    const int dx = (box.cx - centred.text.cx) / 2, dy = (box.cy - centred.text.cy) / 2;
    EXPECT_EQ(centred.Rect(), (ItemRect{box.x + dx, box.y + dy, box.cx - 2 * dx, box.cy - 2 * dy}));
    LinkFixture right({50, 60, 200, 20}, Style::kStaticRight);
    EXPECT_EQ(right.Rect(), (ItemRect{right.before.x + right.before.cx - right.text.cx, right.before.y, right.text.cx, right.text.cy}));
}

}  // namespace
