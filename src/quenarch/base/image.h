#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace quenarch {

// A picture as the control keeps it: premultiplication-free 0xAARRGGBB pixels, row by row.
struct Image {
    int width = 0;
    int height = 0;
    // The colours the picture was drawn with: 16, 256, or 0 for true colour.
    int colorCount = 0;
    std::vector<std::uint32_t> pixels;

    Image() = default;
    Image(int w, int h, int colors, std::uint32_t fill = 0)
        : width(w), height(h), colorCount(colors), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill)
    {
    }

    std::uint32_t pixel(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void setPixel(int x, int y, std::uint32_t argb) { pixels[static_cast<std::size_t>(y) * width + x] = argb; }
};

using Picture = std::shared_ptr<const Image>;

// The picture reduced or enlarged to the given size, averaging the pixels each target covers.
Picture resizedPicture(const Image& source, int width, int height);

// The picture with every pixel of the mask colour (0xRRGGBB) made fully transparent.
Picture maskedPicture(const Image& source, std::uint32_t maskRgb);

} // namespace quenarch
