#include "quenarch/listing/builtin_pictures.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace quenarch {

namespace {

// The 16-colour pictures keep to the standard 16-colour palette.
namespace vga {
constexpr std::uint32_t black = 0xFF000000;
constexpr std::uint32_t maroon = 0xFF800000;
constexpr std::uint32_t navy = 0xFF000080;
constexpr std::uint32_t grey = 0xFF808080;
constexpr std::uint32_t red = 0xFFFF0000;
constexpr std::uint32_t blue = 0xFF0000FF;
constexpr std::uint32_t aqua = 0xFF00FFFF;
constexpr std::uint32_t white = 0xFFFFFFFF;
} // namespace vga

// Bitmaps fill their background with the image lists' mask colour, which the lists make
// transparent; icons carry real transparency instead.
constexpr std::uint32_t maskBackground = 0xFFC0C0C0;
constexpr std::uint32_t transparent = 0x00000000;

// A square picture being drawn. Coordinates are pixels; rectangles and lines include both ends;
// everything outside the picture is clipped.
class Canvas {
public:
    Canvas(int size, int colorCount, std::uint32_t background)
        : image_(std::make_shared<Image>(size, size, colorCount, background))
    {
    }

    void plot(int x, int y, std::uint32_t color)
    {
        if (x >= 0 && y >= 0 && x < image_->width && y < image_->height) image_->setPixel(x, y, color);
    }

    void fillRect(int left, int top, int right, int bottom, std::uint32_t color)
    {
        fillPattern(left, top, right, bottom, color, color);
    }

    // A checkerboard of two colours, the way a palette display dithers a colour it lacks.
    void fillPattern(int left, int top, int right, int bottom, std::uint32_t even, std::uint32_t odd)
    {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) plot(x, y, (x + y) % 2 == 0 ? even : odd);
    }

    void hline(int left, int right, int y, std::uint32_t color) { fillRect(left, y, right, y, color); }
    void vline(int x, int top, int bottom, std::uint32_t color) { fillRect(x, top, x, bottom, color); }

    void frameRect(int left, int top, int right, int bottom, std::uint32_t color)
    {
        hline(left, right, top, color);
        hline(left, right, bottom, color);
        vline(left, top, bottom, color);
        vline(right, top, bottom, color);
    }

    // Bresenham's line.
    void line(int x0, int y0, int x1, int y1, std::uint32_t color)
    {
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int stepX = x0 < x1 ? 1 : -1;
        const int stepY = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        for (;;) {
            plot(x0, y0, color);
            if (x0 == x1 && y0 == y1) break;
            const int doubled = 2 * error;
            if (doubled >= dy) {
                error += dy;
                x0 += stepX;
            }
            if (doubled <= dx) {
                error += dx;
                y0 += stepY;
            }
        }
    }

    // Every pixel whose centre lies within the radius. Centre and radius are in pixel-edge
    // coordinates, so a disc centred at (8, 8) sits symmetrically in a 16 x 16 picture.
    void fillDisc(double centreX, double centreY, double radius, std::uint32_t color)
    {
        fillWhere(color, [&](double x, double y) { return within(x - centreX, y - centreY, radius); });
    }

    // The pixels of that disc that touch a pixel outside it: a rim one pixel wide all round.
    void strokeCircle(double centreX, double centreY, double radius, std::uint32_t color)
    {
        auto inside = [&](double x, double y) { return within(x - centreX, y - centreY, radius); };
        fillWhere(color, [&](double x, double y) {
            return inside(x, y) && !(inside(x - 1, y) && inside(x + 1, y) && inside(x, y - 1) && inside(x, y + 1));
        });
    }

    // Every pixel whose centre lies within halfWidth of the segment: a stroke with round ends.
    void strokeSegment(double x0, double y0, double x1, double y1, double halfWidth, std::uint32_t color)
    {
        const double dx = x1 - x0;
        const double dy = y1 - y0;
        const double lengthSquared = dx * dx + dy * dy;
        fillWhere(color, [&](double x, double y) {
            const double along = lengthSquared == 0 ? 0 : std::clamp(((x - x0) * dx + (y - y0) * dy) / lengthSquared, 0.0, 1.0);
            return within(x - (x0 + along * dx), y - (y0 + along * dy), halfWidth);
        });
    }

    // Every pixel within the given number of steps across and down from the centre pixel.
    void fillDiamond(int centreX, int centreY, int radius, std::uint32_t color)
    {
        for (int y = -radius; y <= radius; ++y) {
            const int reach = radius - std::abs(y);
            hline(centreX - reach, centreX + reach, centreY + y, color);
        }
    }

    Picture finish() { return std::move(image_); }

private:
    // Whether the point (dx, dy) from a centre lies within the distance. Compared squared, which
    // costs no square root and draws these pictures pixel for pixel as the distance itself does.
    static bool within(double dx, double dy, double distance) { return dx * dx + dy * dy <= distance * distance; }

    template <typename Inside>
    void fillWhere(std::uint32_t color, Inside inside)
    {
        for (int y = 0; y < image_->height; ++y)
            for (int x = 0; x < image_->width; ++x)
                if (inside(x + 0.5, y + 0.5)) image_->setPixel(x, y, color);
    }

    std::shared_ptr<Image> image_;
};

// A white page with its top right corner folded down, a few grey text lines and a small
// blue-and-aqua diamond as its emblem.
Picture documentPage(int size, std::uint32_t background)
{
    Canvas canvas(size, 16, background);
    const int unit = size / 16;
    const int left = 2 * unit;
    const int right = size - 1 - 2 * unit;
    const int top = 0;
    const int bottom = size - 1;
    const int fold = size == 16 ? 4 : 7;
    const int foldX = right - fold;

    // The page, less the triangle the fold takes away.
    for (int y = top; y <= bottom; ++y) {
        const int rowRight = y - top < fold ? foldX + (y - top) : right;
        canvas.hline(left, rowRight, y, vga::white);
    }
    canvas.hline(left, foldX, top, vga::black);
    canvas.vline(left, top, bottom, vga::black);
    canvas.hline(left, right, bottom, vga::black);
    canvas.vline(right, top + fold, bottom, vga::black);
    canvas.line(foldX, top, right, top + fold, vga::black);
    // The folded-over flap.
    canvas.vline(foldX, top, top + fold, vga::black);
    canvas.hline(foldX, right, top + fold, vga::black);

    // Text lines: a short one beside the fold, full ones below it.
    const int textLeft = left + 2 * unit;
    const int textRight = right - 2 * unit;
    const int lineStep = 2 * unit;
    canvas.fillRect(textLeft, top + 3 * unit, foldX - 2 * unit, top + 3 * unit + unit - 1, vga::grey);
    for (int y = top + fold + lineStep; y <= top + fold + 2 * lineStep; y += lineStep)
        canvas.fillRect(textLeft, y, textRight, y + unit - 1, vga::grey);

    // The emblem: a blue diamond with a navy rim and an aqua glint in its upper half.
    const int emblemRadius = size == 16 ? 2 : 5;
    const int emblemX = (left + right + 1) / 2;
    const int emblemY = bottom - 2 - emblemRadius;
    canvas.fillDiamond(emblemX, emblemY, emblemRadius, vga::navy);
    canvas.fillDiamond(emblemX, emblemY, emblemRadius - 1, vga::blue);
    canvas.fillDiamond(emblemX, emblemY - emblemRadius / 2, (emblemRadius - 1) / 2, vga::aqua);
    return canvas.finish();
}

struct FolderColours {
    std::uint32_t outline;
    std::uint32_t tab;
    std::uint32_t edge;    // the light top edge of the front flap
    std::uint32_t bodyEven;
    std::uint32_t bodyOdd; // the same as bodyEven unless the yellow is dithered
    std::uint32_t shade;
};

constexpr FolderColours plainFolder{0xFF7A5800, 0xFFE8B830, 0xFFFFF0A0, 0xFFFFD445, 0xFFFFD445, 0xFFD8A020};
// Pure yellow checkered with orange comes close to the plain folder's yellow on a palette display.
constexpr FolderColours ditheredFolder{0xFF7A5800, 0xFFE8B830, 0xFFFFF0A0, 0xFFFFFF00, 0xFFE0A000, 0xFFD8A020};

// A closed folder: its tab at the back on the left, the front flap covering the rest.
Picture closedFolder(int size, const FolderColours& colours)
{
    Canvas canvas(size, 256, transparent);
    const int unit = size / 16;
    const int left = unit;
    const int right = size - 1 - unit;
    const int tabTop = 2 * unit;
    const int tabRight = left + 6 * unit;
    const int flapTop = tabTop + 2 * unit;
    const int bottom = size - 1 - 2 * unit;

    canvas.fillRect(left + 1, tabTop + 1, tabRight - 1, flapTop, colours.tab);
    canvas.hline(left + 1, tabRight - 1, tabTop, colours.outline);
    canvas.vline(left, tabTop + 1, flapTop, colours.outline);
    canvas.vline(tabRight, tabTop + 1, flapTop, colours.outline);

    canvas.fillPattern(left + 1, flapTop + 1, right - 1, bottom - 1, colours.bodyEven, colours.bodyOdd);
    canvas.fillRect(left + 1, flapTop + 1, right - 1, flapTop + unit, colours.edge);
    canvas.fillRect(left + 1, bottom - unit, right - 1, bottom - 1, colours.shade);
    canvas.fillRect(right - unit, flapTop + 1, right - 1, bottom - 1, colours.shade);
    canvas.frameRect(left, flapTop, right, bottom, colours.outline);
    return canvas.finish();
}

// A window with a dark title bar carrying a close box, a menu line and a white client area,
// casting a grey shadow.
Picture applicationWindow()
{
    Canvas canvas(16, 256, maskBackground);
    const std::uint32_t menuLine = 0xFFA0A0A0;
    canvas.vline(15, 3, 14, vga::grey);
    canvas.hline(2, 15, 14, vga::grey);
    canvas.fillRect(0, 2, 14, 13, vga::white);
    canvas.fillRect(0, 2, 14, 4, vga::navy);
    canvas.hline(11, 12, 3, vga::white);
    canvas.hline(1, 13, 6, menuLine);
    canvas.frameRect(0, 1, 14, 13, vga::black);
    return canvas.finish();
}

// A red disc with a dark rim, crossed by a white X. The X is centred half a pixel up so that its
// strokes cover an even number of pixels per row and stay crisp.
Picture errorDisc(int size, std::uint32_t background)
{
    Canvas canvas(size, 16, background);
    const double centre = size / 2.0;
    const double radius = centre - 0.5;
    canvas.fillDisc(centre, centre, radius, vga::red);
    canvas.strokeCircle(centre, centre, radius, vga::maroon);
    const double crossX = centre;
    const double crossY = centre - 0.5;
    const double reach = size * 0.19;
    const double halfWidth = size / 21.0;
    canvas.strokeSegment(crossX - reach, crossY - reach, crossX + reach, crossY + reach, halfWidth, vga::white);
    canvas.strokeSegment(crossX - reach, crossY + reach, crossX + reach, crossY - reach, halfWidth, vga::white);
    return canvas.finish();
}

BuiltinPictures drawPictures()
{
    BuiltinPictures pictures;
    pictures.pixdefault = documentPage(16, maskBackground);
    pictures.defaultIcon = documentPage(32, transparent);
    pictures.pixmap2 = closedFolder(16, ditheredFolder);
    pictures.pixmap = closedFolder(16, plainFolder);
    pictures.pctlmapclosed_256 = closedFolder(32, plainFolder);
    pictures.pixexe = applicationWindow();
    pictures.pcterr16 = errorDisc(16, maskBackground);
    pictures.pcterr32 = errorDisc(32, transparent);
    return pictures;
}

} // namespace

const BuiltinPictures& BuiltinPictures::instance()
{
    static const BuiltinPictures pictures = drawPictures();
    return pictures;
}

} // namespace quenarch
