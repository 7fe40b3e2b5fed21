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
    const std::tuple<std::uint32_t, int, int, ItemRect> cases[] = {
        {0, 61, 12, {10, 20, 61, 12}},
        {Style::kStaticRight, 61, 12, {49, 20, 61, 12}},
        {Style::kStaticCenter, 61, 12, {29, 20, 62, 12}},
        {Style::kStaticCenterImage, 61, 12, {10, 29, 61, 12}},
        {Style::kStaticCenter | Style::kStaticCenterImage, 121, 41, {0, 15, 120, 40}},
    };
    for (const auto& [style, cx, cy, fitted] : cases)
        EXPECT_EQ(CLinkStatic::FittedRect(box, style, cx, cy), fitted) << style;
}
