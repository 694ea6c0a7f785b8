// The colours of the hover highlight, the grid lines and the link, as functions of the system's.
#include "app/colour_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr Colour kBlack = 0x000000, kWhite = 0xffffff, kCyan = 0xffeb1a, kYellow = 0x00ffff;

TEST(ColourRulesTest, ContrastRatioFollowsWcag) {
    EXPECT_DOUBLE_EQ(ContrastRatio(kBlack, kWhite), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(kWhite, kBlack), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(0x808080, 0x808080), 1.0);
    EXPECT_NEAR(ContrastRatio(kWhite, kHoverColour), 1.12, 0.01);      // white text on the hover
    EXPECT_NEAR(ContrastRatio(kLinkHoverColour, kBlack), 2.44, 0.01);  // the link on black
}

TEST(ColourRulesTest, TheSystemsColoursWhereTheProgramsReadBadly) {
    // Windows' and Wine's standard colours; a high-contrast scheme, white on black; the same
    // scheme as Windows reports it while high contrast is on; black on white with it on.
    const SystemColours standard{kBlack, kWhite, 0xf0f0f0, 0xd77800, kWhite, 0xcc6600, false};
    const SystemColours whiteOnBlack{kWhite, kBlack, kBlack, kCyan, kBlack, kYellow, false};
    const SystemColours highContrast{kBlack, kWhite, kWhite, 0x37006f, kWhite, 0x9f0000, true};
    const struct {
        SystemColours system;
        Colour hover;
        std::optional<Colour> hoverText;
        Colour grid, link;
    } cases[] = {
        {standard, kHoverColour, std::nullopt, 0xf0f0f0, kLinkHoverColour},
        {whiteOnBlack, kCyan, kBlack, kWhite, kYellow},
        {{whiteOnBlack.windowText, kBlack, kBlack, kCyan, kBlack, 0x800000, false},
         kCyan,
         kBlack,
         kWhite,
         kWhite},  // a hot-tracking colour that reads badly too
        {highContrast, 0x37006f, kWhite, kBlack, 0x9f0000},
    };
    for (const auto& c : cases) {
        const ListColours list = ListColoursFor(c.system);
        EXPECT_EQ(list.hoverBackground, c.hover);
        EXPECT_EQ(list.hoverText, c.hoverText);
        EXPECT_EQ(list.gridLines, c.grid);
        EXPECT_EQ(LinkHoverColourFor(c.system), c.link);
        if (list.hoverText) {
            EXPECT_GE(ContrastRatio(*list.hoverText, list.hoverBackground), 4.5);
        }
    }
}

}  // namespace
