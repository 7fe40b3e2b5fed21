#include "DialogDriver.h"
#include "LinkStatic.h"

#include <gtest/gtest.h>

namespace {

const Colour kLink = Rgb(0, 0, 238), kVisited = Rgb(85, 26, 139);
const char* const kCaption = "访问Zanfo文件诊所";
constexpr int kId = 1014;

// A dialog holding one static (its place in dialog units, style and caption) that becomes a
// link, with a launcher the test answers.
struct LinkFixture {
    DialogTemplate dialogTemplate;  // the dialog keeps a reference to it
    std::unique_ptr<CTemplateDialog> dlg;
    ItemRect before{}, text{};  // the static's place as the template gives it; the link text's size
    CLinkStatic link;
    int openResult = 42, beeps = 0;
    std::vector<std::pair<std::string, int>> opened;
    std::vector<int> errorsShown;

    explicit LinkFixture(ItemRect place = {24, 246, 130, 16}, std::uint32_t style = 0, const std::string& caption = kCaption)
        : dialogTemplate{1, 0x80C800C0, 0, 400, 300, "link", "宋体", 9, {{kId, ControlClass::Static, caption, 0x50000000 | style, place.x, place.y, place.cx, place.cy}}}
        , dlg(std::make_unique<CTemplateDialog>(dialogTemplate, nullptr))
    {
        link.SetLauncher({[this](const std::string& url, int show) {
                              opened.emplace_back(url, show);
                              return openResult;
                          },
                          [this](CTemplateDialog*, int code) { errorsShown.push_back(code); }, [this] { ++beeps; }});
        if (caption.empty())
            link.SetLinkUrl("http://example.org/");
        dlg->Create();
        before = dlg->GetItemRect(kId);
        link.SubclassDlgItem(kId, dlg.get());
        dlg->MeasureItemText(kId, text.cx, text.cy);
        WaitUntil([this] { return dlg->IsWindowVisible(); });
    }
    ItemRect Rect() const { return dlg->GetItemRect(kId); }
    void Hover(bool inside)
    {
        MovePointerTo(*dlg, 0);  // the pointer enters the window before it reaches the link
        if (inside)
            MovePointerTo(*dlg, kId);
    }
    bool Shows(Colour colour) { return ItemShowsColour(*dlg, kId, colour); }
};

// The caption and the URL default to each other; the window shrinks to its text, keeping the
// sides its alignment bits name (centred: each side moves by half the difference, toward zero).
TEST(LinkStatic, SubclassingMakesALinkThatFitsItsText)
{
    LinkFixture f;
    EXPECT_EQ(f.link.LinkUrl(), kCaption);
    EXPECT_EQ(f.Rect(), (ItemRect{f.before.x, f.before.y, f.text.cx, f.text.cy})) << "left and top stay";
    f.link.SetLinkUrl("http://www.zanfo.com/");
    EXPECT_EQ(f.dlg->GetDlgItemText(kId), kCaption) << "a new URL leaves the caption";
    LinkFixture empty({10, 10, 300, 40}, 0, "");
    EXPECT_EQ(empty.dlg->GetDlgItemText(kId), "http://example.org/");
    LinkFixture centred({100, 100, 150, 30}, Style::kStaticCenter | Style::kStaticCenterImage);
    const ItemRect box = centred.before;
    const int dx = (box.cx - centred.text.cx) / 2, dy = (box.cy - centred.text.cy) / 2;
    EXPECT_EQ(centred.Rect(), (ItemRect{box.x + dx, box.y + dy, box.cx - 2 * dx, box.cy - 2 * dy}));
    LinkFixture right({50, 60, 200, 20}, Style::kStaticRight);
    EXPECT_EQ(right.Rect(), (ItemRect{right.before.x + right.before.cx - right.text.cx, right.before.y, right.text.cx, right.text.cy}));
}

// Hover wins over visited; a double-click opens once; a failed open shows its code, beeps, and
// leaves the link unvisited.
TEST(LinkStatic, ColourClicksAndFailuresFollowThePointerAndTheResult)
{
    LinkFixture f;
    f.link.SetLinkUrl("http://www.zanfo.com/");
    const Colour highlight = CWindowSystem::HighlightColour();
    EXPECT_TRUE(f.Shows(kLink));
    const std::pair<std::function<void()>, Colour> steps[] = {
        {[&] { f.Hover(true); }, highlight},
        {[&] { f.Hover(false); }, kLink},
        {[&] { ClickItem(*f.dlg, kId, 2); f.Hover(false); }, kVisited},
        {[&] { f.Hover(true); }, highlight},
        {[&] { f.Hover(false); }, kVisited},
    };
    for (const auto& [step, colour] : steps) {
        step();
        EXPECT_TRUE(f.Shows(colour)) << std::hex << colour;
    }
    EXPECT_EQ(f.opened, (std::vector<std::pair<std::string, int>>{{"http://www.zanfo.com/", 5}})) << "a double-click opens once";

    const std::pair<int, bool> results[] = {{31, false}, {32, false}, {0, false}, {-1, false}, {33, true}, {42, true}};
    for (const auto& [result, visited] : results) {
        f.openResult = result;
        f.errorsShown.clear();
        ClickItem(*f.dlg, kId);
        f.Hover(false);
        EXPECT_EQ(f.link.WasVisited(), visited) << result;
        EXPECT_EQ(f.errorsShown, visited ? std::vector<int>{} : std::vector<int>{result}) << result;
        EXPECT_TRUE(f.Shows(visited ? kVisited : kLink)) << result;
    }
    EXPECT_EQ(f.beeps, 4);
}

}  // namespace
