#include "qt/conversions.h"

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

// A palette whose every role of every group has a colour of its own, so a mapping to the wrong
// role or group shows.
QPalette distinctPalette()
{
    QPalette palette;
    int shade = 1;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (int role = 0; role < QPalette::NColorRoles; ++role, shade += 3) palette.setColor(group, static_cast<QPalette::ColorRole>(role), QColor::fromRgb(shade, 0, 0));
    return palette;
}

struct SystemColorCase {
    std::uint32_t ole;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

TEST(ConversionsTest, SystemColoursTakeTheirPaletteRoles)
{
    const QPalette palette = distinctPalette();
    const SystemColorCase cases[] = {
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
    for (const SystemColorCase& c : cases)
        EXPECT_EQ(colorFromOle(c.ole, palette), palette.color(c.group, c.role)) << std::hex << c.ole;
}

TEST(ConversionsTest, PlainColoursAreBlueGreenRed)
{
    const QPalette palette = distinctPalette();
    EXPECT_EQ(colorFromOle(0x00332211, palette), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(colorFromOle(0x00FFFFFF, palette), QColor(Qt::white));
    EXPECT_EQ(oleFromColor(QColor(0x11, 0x22, 0x33)), 0x00332211u);
    // Alpha has no place in an OLE colour.
    EXPECT_EQ(oleFromColor(QColor(0x11, 0x22, 0x33, 0x40)), 0x00332211u);
    for (const std::uint32_t ole : {0x00000000u, 0x000000FFu, 0x0000FF00u, 0x00FF0000u, 0x00C0C0C0u})
        EXPECT_EQ(oleFromColor(colorFromOle(ole, palette)), ole) << std::hex << ole;
}

TEST(ConversionsTest, FontsKeepEveryAttributeBothWays)
{
    const Font fonts[] = {
        {"DejaVu Sans", 9.0, 400, false, false, false, 0},
        {"DejaVu Serif", 14.5, 700, true, true, true, 0},
        {"DejaVu Sans Mono", 7.0, 300, false, true, false, 0},
    };
    for (const Font& font : fonts) {
        const QFont shown = qFontFromFont(font);
        EXPECT_EQ(shown.family().toStdString(), font.name);
        const FontRef back = fontFromQFont(shown);
        EXPECT_EQ(*back, font) << font.name;
    }
}

TEST(ConversionsTest, PicturesKeepTheirPixelsAndAlpha)
{
    Image picture(3, 2, 0, 0xFFC0C0C0);
    picture.setPixel(0, 0, 0x80123456);
    picture.setPixel(2, 1, 0x00000000);
    const QImage image = imageFromPicture(picture);
    ASSERT_EQ(image.size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(image.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
    EXPECT_TRUE(pixmapFromPicture(nullptr).isNull());
}

TEST(ConversionsTest, AutomationDatesAsLocalDateTimes)
{
    struct Case {
        AutomationDate date;
        QDateTime expected;
    };
    const Case cases[] = {
        {0.0, QDateTime(QDate(1899, 12, 30), QTime(0, 0))},
        {makeDate(2001, 12, 31) + makeTimeOfDay(14, 22, 6), QDateTime(QDate(2001, 12, 31), QTime(14, 22, 6))},
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
        {makeDate(1980, 1, 1), QDateTime(QDate(1980, 1, 1), QTime(0, 0))},
    };
    for (const Case& c : cases) EXPECT_EQ(dateTimeFromAutomationDate(c.date), c.expected) << c.date;
}

} // namespace
} // namespace quenarch::qt
