#include "quenarch/listing/builtin_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>
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
    Background background;
};

const PictureCase pictureCases[] = {
    {"pixdefault", &BuiltinPictures::pixdefault, 16, Background::MaskColour},
    {"defaultIcon", &BuiltinPictures::defaultIcon, 32, Background::Transparent},
    {"pixmap2", &BuiltinPictures::pixmap2, 16, Background::Transparent},
    {"pixmap", &BuiltinPictures::pixmap, 16, Background::Transparent},
    {"pctlmapclosed_256", &BuiltinPictures::pctlmapclosed_256, 32, Background::Transparent},
    {"pixexe", &BuiltinPictures::pixexe, 16, Background::MaskColour},
    {"pcterr16", &BuiltinPictures::pcterr16, 16, Background::MaskColour},
    {"pcterr32", &BuiltinPictures::pcterr32, 32, Background::Transparent},
};

void PrintTo(const PictureCase& c, std::ostream* out) { *out << c.name; }

const Image& pictureOf(Picture BuiltinPictures::*member) { return *(BuiltinPictures::instance().*member); }

// Whether the image lists show this pixel as background once their mask colour is applied.
bool isClear(std::uint32_t pixel) { return (pixel >> 24) == 0 || (pixel & 0xFFFFFF) == maskRgb; }

class BuiltinPictureTest : public testing::TestWithParam<PictureCase> {
protected:
    const Image& image() const { return pictureOf(GetParam().member); }
};

// Every clear pixel must be background reachable from the border: a mask-coloured or
// transparent pixel inside the subject would show as a hole.
TEST_P(BuiltinPictureTest, BackgroundSurroundsASubjectWithoutHoles)
{
    const Image& picture = image();
    ASSERT_EQ(picture.width, GetParam().size);
    ASSERT_EQ(picture.height, GetParam().size);
    ASSERT_EQ(picture.pixels.size(), static_cast<std::size_t>(GetParam().size * GetParam().size));
    const int last = picture.width - 1;
    const bool bitmap = GetParam().background == Background::MaskColour;
    for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
        EXPECT_EQ(picture.pixel(x, y), bitmap ? 0xFFC0C0C0 : 0u);
    EXPECT_FALSE(isClear(picture.pixel(picture.width / 2, picture.height / 2)));
    EXPECT_TRUE(std::ranges::all_of(picture.pixels, [](std::uint32_t p) { return p >> 24 == 0 || p >> 24 == 0xFF; }));
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
bool holds(const ImageList& list, const char* key, const Picture& want)
{
    const Picture& have = list.picture(key);
    return have && have->width == want->width && have->height == want->height && have->pixels == want->pixels;
}

std::vector<std::string> keysOf(const ImageList& list)
{
    std::vector<std::string> keys;
    for (const ListImage& image : list.images()) keys.push_back(image.key);
    return keys;
}

// Each opening rebuilds both lists, dropping the extension icons the row builder added since;
// only a depth of exactly 8 bits takes the dithered folder.
TEST(LoadImageLists, RebuildBothListsWithTheFourBuiltInKeys)
{
    const BuiltinPictures& p = BuiltinPictures::instance();
    ListView view{{}};
    ImageList smallIcons{16, 16};
    ImageList largeIcons;
    for (const auto& [depth, smallFolder, largeFolder] : {std::tuple{8, p.pixmap2, p.pixmap2}, std::tuple{32, p.pixmap, p.pctlmapclosed_256},
                                                         std::tuple{16, p.pixmap, p.pctlmapclosed_256}, std::tuple{8, p.pixmap2, p.pixmap2}}) {
        SCOPED_TRACE(depth);
        smallIcons.add("txt", p.pixdefault);
        largeIcons.add("txt", p.defaultIcon);
        LoadImageLists(view, smallIcons, largeIcons, depth);
        EXPECT_EQ(keysOf(smallIcons), (std::vector<std::string>{"default", "mapclosed", "xexe", "error"}));
        EXPECT_EQ(keysOf(largeIcons), (std::vector<std::string>{"mapclosed", "default", "xexe", "error"}));
        EXPECT_TRUE(holds(smallIcons, "default", p.pixdefault) && holds(smallIcons, "mapclosed", smallFolder) &&
                    holds(smallIcons, "xexe", p.pixexe) && holds(smallIcons, "error", p.pcterr16));
        EXPECT_TRUE(holds(largeIcons, "default", p.defaultIcon) && holds(largeIcons, "mapclosed", largeFolder) &&
                    holds(largeIcons, "xexe", p.pixexe) && holds(largeIcons, "error", p.pcterr32));
        EXPECT_EQ(view.smallIcons(), &smallIcons);
        EXPECT_EQ(view.icons(), &largeIcons);
    }
}

} // namespace
} // namespace quenarch
