#include "quenarch/base/image.h"

#include <algorithm>
#include <vector>

namespace quenarch {

Picture resizedPicture(const Image& source, int width, int height)
{
    if (source.width == width && source.height == height) return std::make_shared<Image>(source);
    auto target = std::make_shared<Image>(width, height, source.colorCount);
    if (source.width == 0 || source.height == 0) return target;
    // A picture of one colour (such as the blank stand-in of a program that draws no icons) is
    // that colour at any size, or transparent black where it is wholly transparent: what
    // averaging gives, without averaging.
    const std::uint32_t first = source.pixels.front();
    if (std::all_of(source.pixels.begin(), source.pixels.end(), [&](std::uint32_t p) { return p == first; })) {
        std::fill(target->pixels.begin(), target->pixels.end(), (first >> 24) == 0 ? 0 : first);
        return target;
    }
    // The source columns each target column covers, worked out once for all rows.
    std::vector<int> columnStart(static_cast<std::size_t>(width) + 1);
    for (int x = 0; x <= width; ++x) columnStart[static_cast<std::size_t>(x)] = x * source.width / width;
    for (int y = 0; y < height; ++y) {
        const int y0 = y * source.height / height;
        const int y1 = std::max(y0 + 1, (y + 1) * source.height / height);
        for (int x = 0; x < width; ++x) {
            const int x0 = columnStart[static_cast<std::size_t>(x)];
            const int x1 = std::max(x0 + 1, columnStart[static_cast<std::size_t>(x) + 1]);
            std::uint64_t a = 0, r = 0, g = 0, b = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy) {
                const std::uint32_t* row = source.pixels.data() + static_cast<std::size_t>(sy) * static_cast<std::size_t>(source.width);
                for (int sx = x0; sx < x1; ++sx) {
                    const std::uint32_t p = row[sx];
                    const std::uint32_t alpha = p >> 24;
                    a += alpha;
                    // Weight colours by coverage so transparent pixels do not darken edges.
                    r += ((p >> 16) & 0xFF) * alpha;
                    g += ((p >> 8) & 0xFF) * alpha;
                    b += (p & 0xFF) * alpha;
                    ++n;
                }
            }
            std::uint32_t pixel = 0;
            if (a != 0) {
                pixel = static_cast<std::uint32_t>(a / n) << 24 | static_cast<std::uint32_t>(r / a) << 16 |
                        static_cast<std::uint32_t>(g / a) << 8 | static_cast<std::uint32_t>(b / a);
            }
            target->setPixel(x, y, pixel);
        }
    }
    return target;
}

Picture maskedPicture(const Image& source, std::uint32_t maskRgb)
{
    auto target = std::make_shared<Image>(source);
    for (auto& p : target->pixels)
        if ((p & 0xFFFFFF) == (maskRgb & 0xFFFFFF)) p = 0;
    return target;
}

} // namespace quenarch
