#include "quenarch/qt/conversions.h"

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

// System colours resolve in the palette (the widget's tests see the defaults do); others are
// blue-green-red and come back as they went.
TEST(ConversionsTest, OleColoursAreBlueGreenRedBothWaysAndUnknownSystemIndexesWindowText)
{
    QPalette palette;
    palette.setColor(QPalette::WindowText, QColor(1, 2, 3));
    for (const std::uint32_t ole : {0x80000040u, 0x80010005u}) EXPECT_EQ(colorFromOle(ole, palette), QColor(1, 2, 3)) << std::hex << ole;
    EXPECT_EQ(colorFromOle(0x00332211, palette), QColor(0x11, 0x22, 0x33));
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
