#include "quenarch/qt/conversions.h"

#include <QFontInfo>

#include <algorithm>
#include <array>
#include <cstring>

namespace quenarch::qt {
namespace {

constexpr std::uint32_t systemColorFlag = 0x80000000;

struct PaletteColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The desktop's system colours by index, as the nearest palette roles.
constexpr std::array<PaletteColor, 31> systemColors{{
    {QPalette::Active, QPalette::Button},            // 0 scroll bar
    {QPalette::Active, QPalette::Window},            // 1 desktop
    {QPalette::Active, QPalette::Highlight},         // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},       // 3 inactive caption
    {QPalette::Active, QPalette::Window},            // 4 menu
    {QPalette::Active, QPalette::Base},              // 5 window background
    {QPalette::Active, QPalette::Shadow},            // 6 window frame
    {QPalette::Active, QPalette::WindowText},        // 7 menu text
    {QPalette::Active, QPalette::Text},              // 8 window text
    {QPalette::Active, QPalette::HighlightedText},   // 9 caption text
    {QPalette::Active, QPalette::Window},            // 10 active border
    {QPalette::Inactive, QPalette::Window},          // 11 inactive border
    {QPalette::Active, QPalette::Dark},              // 12 application workspace
    {QPalette::Active, QPalette::Highlight},         // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},   // 14 highlighted text
    {QPalette::Active, QPalette::Button},            // 15 button face
    {QPalette::Active, QPalette::Dark},              // 16 button shadow
    {QPalette::Disabled, QPalette::Text},            // 17 grey text
    {QPalette::Active, QPalette::ButtonText},        // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {QPalette::Active, QPalette::Light},             // 20 button highlight
    {QPalette::Active, QPalette::Shadow},            // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},          // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText},       // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase},       // 24 tooltip background
    {QPalette::Active, QPalette::WindowText},        // 25 not assigned
    {QPalette::Active, QPalette::Link},              // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},         // 27 active caption gradient
    {QPalette::Inactive, QPalette::Highlight},       // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},         // 29 highlighted menu item
    {QPalette::Active, QPalette::Window},            // 30 menu bar
}};

} // namespace

QColor colorFromOle(std::uint32_t ole, const QPalette& system)
{
    if ((ole & systemColorFlag) != 0) {
        const std::uint32_t index = ole & 0xFF;
        if ((ole & 0x7FFFFF00) != 0 || index >= systemColors.size()) return system.color(QPalette::Active, QPalette::WindowText);
        const PaletteColor entry = systemColors[index];
        return system.color(entry.group, entry.role);
    }
    return QColor(static_cast<int>(ole & 0xFF), static_cast<int>((ole >> 8) & 0xFF), static_cast<int>((ole >> 16) & 0xFF));
}

std::uint32_t oleFromColor(const QColor& color)
{
    const QRgb rgb = color.rgb();
    return static_cast<std::uint32_t>(qRed(rgb)) | static_cast<std::uint32_t>(qGreen(rgb)) << 8 |
           static_cast<std::uint32_t>(qBlue(rgb)) << 16;
}

QFont qFontFromFont(const Font& font)
{
    QFont result(QString::fromStdString(font.name));
    // A host may resize a shared font object after handing it over: sizes no font takes stay out.
    if (isDrawableFontSize(font.size)) result.setPointSizeF(font.size);
    result.setWeight(static_cast<QFont::Weight>(std::clamp<int>(font.weight, 1, 1000)));
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikethrough);
    return result;
}

FontRef fontFromQFont(const QFont& font)
{
    auto result = std::make_shared<Font>();
    result->name = font.family().toStdString();
    // A font sized in pixels has no point size of its own: take the one it renders at.
    result->size = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    result->weight = static_cast<std::int16_t>(font.weight());
    result->italic = font.italic();
    result->underline = font.underline();
    result->strikethrough = font.strikeOut();
    return result;
}

QImage imageFromPicture(const Image& picture)
{
    if (picture.width <= 0 || picture.height <= 0) return {};
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(y), picture.pixels.data() + static_cast<std::size_t>(y) * picture.width,
                    static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t));
    return image;
}

QPixmap pixmapFromPicture(const Picture& picture)
{
    return picture ? QPixmap::fromImage(imageFromPicture(*picture)) : QPixmap();
}

QDateTime dateTimeFromAutomationDate(AutomationDate date)
{
    static const QDate dayZero(1899, 12, 30);
    return QDateTime(dayZero.addDays(dayNumber(date)), QTime(0, 0).addSecs(secondOfDay(date)));
}

} // namespace quenarch::qt
