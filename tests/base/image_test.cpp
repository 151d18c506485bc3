#include "quenarch/base/image.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

struct ResizeCase {
    const char* what;
    Image source;
    int width;
    int height;
    std::vector<std::uint32_t> expected;
};

Image pictureOf(int width, int height, std::vector<std::uint32_t> pixels)
{
    Image image(width, height, 0);
    image.pixels = std::move(pixels);
    return image;
}

TEST(ResizedPicture, AveragesTheCoveredPixelsWeightedByTheirOpacity)
{
    constexpr std::uint32_t red = 0xFFFF0000, blue = 0xFF0000FF, clearGreen = 0x0000FF00;
    const ResizeCase cases[] = {
        {"one colour, reduced", Image(4, 4, 0, red), 2, 2, {red, red, red, red}},
        {"one colour, enlarged", Image(1, 1, 0, blue), 2, 1, {blue, blue}},
        {"half-transparent colour keeps its alpha", Image(4, 2, 0, 0x80102030), 2, 1, {0x80102030, 0x80102030}},
        {"wholly transparent colour becomes transparent black", Image(4, 4, 0, clearGreen), 2, 2, {0, 0, 0, 0}},
        {"two colours average", pictureOf(2, 1, {red, blue}), 1, 1, {0xFF7F007F}},
        {"transparent pixels do not darken", pictureOf(2, 1, {red, clearGreen}), 1, 1, {0x7FFF0000}},
    };
    for (const ResizeCase& c : cases) {
        const Picture resized = resizedPicture(c.source, c.width, c.height);
        EXPECT_EQ(resized->width, c.width) << c.what;
        EXPECT_EQ(resized->height, c.height) << c.what;
        EXPECT_EQ(resized->pixels, c.expected) << c.what;
    }
}

} // namespace
} // namespace quenarch
