#pragma once

#include "quenarch/listing/font.h"
#include "quenarch/base/automation_date.h"
#include "quenarch/base/image.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QPixmap>

#include <cstdint>

// Conversions between the control's own values and Qt's: twips and pixels, OLE colours, fonts,
// pictures and automation dates.
namespace quenarch::qt {

inline constexpr double twipsPerInch = 1440.0;

// Lengths at a logical resolution in dots per inch; no rounding of their own.
inline double pixelsFromTwips(double twips, double logicalDpi) { return twips * logicalDpi / twipsPerInch; }
inline double twipsFromPixels(double pixels, double logicalDpi) { return pixels * twipsPerInch / logicalDpi; }

// An OLE colour: a set top bit names a system colour by its index in the low byte (5 window
// background, 8 window text, 18 button text, ...), which takes the colour of the matching role of
// the given palette; otherwise the value is 0x00BBGGRR. An unknown system index gives the
// palette's window text colour.
QColor colorFromOle(std::uint32_t ole, const QPalette& system);
// A colour as an OLE colour 0x00BBGGRR (never a system colour; alpha is dropped).
std::uint32_t oleFromColor(const QColor& color);

QFont qFontFromFont(const Font& font);
FontRef fontFromQFont(const QFont& font);

// The picture's pixels as an ARGB image of the same size; a null image for no picture.
QImage imageFromPicture(const Image& picture);
QPixmap pixmapFromPicture(const Picture& picture);

// An automation date as local date and time; date 0 is 1899-12-30 00:00.
QDateTime dateTimeFromAutomationDate(AutomationDate date);

} // namespace quenarch::qt
