#include "quenarch/qt/conversions.h"

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

TEST(ConversionsTest, OleColoursAreSystemColoursOrBlueGreenRed)
{
    // Every role of every group has a colour of its own, so a mapping to the wrong one shows.
    QPalette palette;
    int shade = 1;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (int role = 0; role < QPalette::NColorRoles; ++role, shade += 3)
            palette.setColor(group, static_cast<QPalette::ColorRole>(role), QColor::fromRgb(shade, 0, 0));
    const std::tuple<std::uint32_t, QPalette::ColorGroup, QPalette::ColorRole> systemColours[] = {
        {0x80000005, QPalette::Active, QPalette::Base},            // window background
        {0x80000008, QPalette::Active, QPalette::Text},            // window text
        {0x80000012, QPalette::Active, QPalette::ButtonText},      // button text
        {0x8000000F, QPalette::Active, QPalette::Button},          // button face
        {0x8000000D, QPalette::Active, QPalette::Highlight},       // highlight
        {0x8000000E, QPalette::Active, QPalette::HighlightedText}, // highlighted text
        {0x80000011, QPalette::Disabled, QPalette::Text},          // grey text
        {0x80000018, QPalette::Active, QPalette::ToolTipBase},     // tooltip background
        {0x80000003, QPalette::Inactive, QPalette::Highlight},     // inactive caption
        {0x80000040, QPalette::Active, QPalette::WindowText},      // no such index
        {0x80010005, QPalette::Active, QPalette::WindowText},      // stray bits above the index
    };
    for (const auto& [ole, group, role] : systemColours) EXPECT_EQ(colorFromOle(ole, palette), palette.color(group, role)) << std::hex << ole;
    for (const std::uint32_t ole : {0x00000000u, 0x000000FFu, 0x0000FF00u, 0x00FF0000u, 0x00C0C0C0u})
        EXPECT_EQ(oleFromColor(colorFromOle(ole, palette)), ole) << std::hex << ole;
}

TEST(ConversionsTest, FontsKeepEveryAttributeBothWays)
{
    for (const Font& font : {Font{"DejaVu Sans", 9.0, 400, false, false, false, 0}, Font{"DejaVu Serif", 14.5, 700, true, true, true, 0},
                             Font{"DejaVu Sans Mono", 7.0, 300, false, true, false, 0}})
        EXPECT_EQ(*fontFromQFont(qFontFromFont(font)), font) << font.name;
}

} // namespace
} // namespace quenarch::qt
