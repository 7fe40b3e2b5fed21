// How a link label fits its text. Its colours, cursor, tooltip and clicks are shown on the main
// dialog's link, where the user meets them.
#include "controls/LinkStatic.h"

#include <gtest/gtest.h>

#include <tuple>

// The sides the alignment bits name stay; centred ones move by half the difference, rounded
// toward zero, whether the text is smaller than the box or larger.
TEST(LinkStatic, TheLinkFitsItsTextKeepingTheSidesItsAlignmentNames)
{
    const ItemRect box{10, 20, 100, 30};
    // The static's style, the text's width and height, and the place the link takes.
    const std::tuple<const char*, std::uint32_t, int, int, ItemRect> rows[] = {
        {"left-top", 0, 61, 12, {10, 20, 61, 12}},
        {"right", Style::kStaticRight, 61, 12, {49, 20, 61, 12}},
        {"centred-odd-difference", Style::kStaticCenter, 61, 12, {29, 20, 62, 12}},
        {"centred-vertically", Style::kStaticCenterImage, 61, 12, {10, 29, 61, 12}},
        {"centred-both-ways-larger-text", Style::kStaticCenter | Style::kStaticCenterImage, 121, 41, {0, 15, 120, 40}},
    };
    for (const auto& [name, style, cx, cy, fitted] : rows)
        EXPECT_EQ(CLinkStatic::FittedRect(box, style, cx, cy), fitted) << name;
}
