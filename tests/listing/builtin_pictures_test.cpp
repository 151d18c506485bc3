#include "quenarch/listing/builtin_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quenarch {
namespace {

constexpr std::uint32_t maskRgb = 0xC0C0C0;

enum class Background { MaskColour, Transparent };

struct PictureCase {
    const char* name;
    Picture BuiltinPictures::*member;
    int size;
    int colorCount;
    Background background;
};

const PictureCase pictureCases[] = {
    {"pixdefault", &BuiltinPictures::pixdefault, 16, 16, Background::MaskColour},
    {"defaultIcon", &BuiltinPictures::defaultIcon, 32, 16, Background::Transparent},
    {"pixmap2", &BuiltinPictures::pixmap2, 16, 256, Background::Transparent},
    {"pixmap", &BuiltinPictures::pixmap, 16, 256, Background::Transparent},
    {"pctlmapclosed_256", &BuiltinPictures::pctlmapclosed_256, 32, 256, Background::Transparent},
    {"pixexe", &BuiltinPictures::pixexe, 16, 256, Background::MaskColour},
    {"pcterr16", &BuiltinPictures::pcterr16, 16, 16, Background::MaskColour},
    {"pcterr32", &BuiltinPictures::pcterr32, 32, 16, Background::Transparent},
};

void PrintTo(const PictureCase& c, std::ostream* out) { *out << c.name; }

const Image& pictureOf(Picture BuiltinPictures::*member) { return *(BuiltinPictures::instance().*member); }

// Whether the image lists show this pixel as background once their mask colour is applied.
bool isClear(std::uint32_t pixel) { return (pixel >> 24) == 0 || (pixel & 0xFFFFFF) == maskRgb; }

class BuiltinPictureTest : public testing::TestWithParam<PictureCase> {
protected:
    const Image& image() const { return pictureOf(GetParam().member); }
};

TEST_P(BuiltinPictureTest, KeepsToItsSizeAndColours)
{
    static const std::set<std::uint32_t> vgaPalette{0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                                   0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                                   0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    ASSERT_EQ(image().width, GetParam().size);
    ASSERT_EQ(image().height, GetParam().size);
    ASSERT_EQ(image().pixels.size(), static_cast<std::size_t>(GetParam().size * GetParam().size));
    EXPECT_EQ(image().colorCount, GetParam().colorCount);

    const std::set<std::uint32_t> distinct(image().pixels.begin(), image().pixels.end());
    EXPECT_LE(distinct.size(), static_cast<std::size_t>(GetParam().colorCount));
    for (std::uint32_t pixel : distinct) {
        const std::uint32_t alpha = pixel >> 24;
        EXPECT_TRUE(alpha == 0 || alpha == 0xFF) << std::hex << pixel;
        if (GetParam().colorCount == 16 && alpha != 0) {
            EXPECT_TRUE(vgaPalette.contains(pixel & 0xFFFFFF)) << std::hex << pixel;
        }
    }
}

// Every clear pixel must be background reachable from the border: a mask-coloured or
// transparent pixel inside the subject would show as a hole.
TEST_P(BuiltinPictureTest, BackgroundSurroundsASubjectWithoutHoles)
{
    const Image& picture = image();
    const int last = picture.width - 1;
    const bool bitmap = GetParam().background == Background::MaskColour;
    for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
        EXPECT_EQ(picture.pixel(x, y), bitmap ? 0xFFC0C0C0 : 0u);
    EXPECT_FALSE(isClear(picture.pixel(picture.width / 2, picture.height / 2)));
    if (bitmap) {
        EXPECT_TRUE(std::ranges::all_of(picture.pixels, [](std::uint32_t p) { return p >> 24 == 0xFF; }));
    } else {
        EXPECT_TRUE(std::ranges::none_of(picture.pixels, [](std::uint32_t p) { return p >> 24 != 0 && (p & 0xFFFFFF) == maskRgb; }));
    }

    std::vector<bool> reached(picture.pixels.size(), false);
    std::vector<std::pair<int, int>> pending;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x > last || y > last) return;
        const std::size_t at = static_cast<std::size_t>(y * picture.width + x);
        if (reached[at] || !isClear(picture.pixels[at])) return;
        reached[at] = true;
        pending.emplace_back(x, y);
    };
    for (int i = 0; i <= last; ++i) {
        visit(i, 0);
        visit(i, last);
        visit(0, i);
        visit(last, i);
    }
    while (!pending.empty()) {
        auto [x, y] = pending.back();
        pending.pop_back();
        visit(x + 1, y);
        visit(x - 1, y);
        visit(x, y + 1);
        visit(x, y - 1);
    }
    EXPECT_EQ(std::ranges::count(reached, true), std::ranges::count_if(picture.pixels, isClear));
}

INSTANTIATE_TEST_SUITE_P(All, BuiltinPictureTest, testing::ValuesIn(pictureCases),
                         [](const testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

// Same size and pixels, wherever the list keeps its copy.
void expectPicture(const ImageList& list, const char* key, Picture BuiltinPictures::*expected)
{
    const Image& want = pictureOf(expected);
    const Picture& have = list.picture(key);
    ASSERT_TRUE(have) << key;
    EXPECT_TRUE(have->width == want.width && have->height == want.height && have->pixels == want.pixels) << key;
}

std::vector<std::string> keysOf(const ImageList& list)
{
    std::vector<std::string> keys;
    for (const ListImage& image : list.images()) keys.push_back(image.key);
    return keys;
}

struct DepthCase {
    std::int32_t depth;
    std::int32_t previousDepth;
    Picture BuiltinPictures::*smallFolder;
    Picture BuiltinPictures::*largeFolder;
};

const DepthCase depthCases[] = {
    {0, 8, &BuiltinPictures::pixmap, &BuiltinPictures::pctlmapclosed_256},
    {8, 32, &BuiltinPictures::pixmap2, &BuiltinPictures::pixmap2},
    {16, 8, &BuiltinPictures::pixmap, &BuiltinPictures::pctlmapclosed_256},
    {32, 8, &BuiltinPictures::pixmap, &BuiltinPictures::pctlmapclosed_256},
};

void PrintTo(const DepthCase& c, std::ostream* out) { *out << "depth " << c.depth; }

class LoadImageListsTest : public testing::TestWithParam<DepthCase> {
protected:
    ListView view{{}};
    ImageList smallIcons{16, 16};
    ImageList largeIcons;
};

TEST_P(LoadImageListsTest, RebuildsBothListsWithTheFourBuiltInKeys)
{
    LoadImageLists(view, smallIcons, largeIcons, GetParam().previousDepth);
    // Extension icons the row builder adds between openings are dropped at the next one.
    for (const char* extension : {"txt", "zip", "doc"}) {
        smallIcons.add(extension, BuiltinPictures::instance().pixdefault);
        largeIcons.add(extension, BuiltinPictures::instance().defaultIcon);
    }

    LoadImageLists(view, smallIcons, largeIcons, GetParam().depth);

    EXPECT_EQ(keysOf(smallIcons), (std::vector<std::string>{"default", "mapclosed", "xexe", "error"}));
    EXPECT_EQ(keysOf(largeIcons), (std::vector<std::string>{"mapclosed", "default", "xexe", "error"}));
    expectPicture(smallIcons, "default", &BuiltinPictures::pixdefault);
    expectPicture(smallIcons, "mapclosed", GetParam().smallFolder);
    expectPicture(smallIcons, "xexe", &BuiltinPictures::pixexe);
    expectPicture(smallIcons, "error", &BuiltinPictures::pcterr16);
    expectPicture(largeIcons, "default", &BuiltinPictures::defaultIcon);
    expectPicture(largeIcons, "mapclosed", GetParam().largeFolder);
    expectPicture(largeIcons, "xexe", &BuiltinPictures::pixexe);
    expectPicture(largeIcons, "error", &BuiltinPictures::pcterr32);
    EXPECT_EQ(view.smallIcons(), &smallIcons);
    EXPECT_EQ(view.icons(), &largeIcons);
}

INSTANTIATE_TEST_SUITE_P(Depths, LoadImageListsTest, testing::ValuesIn(depthCases),
                         [](const testing::TestParamInfo<DepthCase>& info) { return "depth" + std::to_string(info.param.depth); });

} // namespace
} // namespace quenarch
