#include "quenarch/qt/desktop_icon_source.h"

#include "support/test_platform.h"

#include <QBuffer>
#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quenarch::qt {
namespace {

constexpr std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF;

// An image of one colour in a file format's bytes.
std::string encoded(int width, int height, std::uint32_t argb, const char* format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(argb);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

// One ICO file holding square images of the sizes and colours given, in that order, made from
// single-image ICO files: the directory entries are copied with their data offsets moved past
// the larger directory.
std::string multiImageIco(const std::vector<std::pair<int, std::uint32_t>>& images)
{
    constexpr std::size_t headerSize = 6, entrySize = 16;
    std::string entries, data;
    for (const auto& [size, argb] : images) {
        const std::string single = encoded(size, size, argb, "ico");
        std::string entry = single.substr(headerSize, entrySize);
        const auto offset = static_cast<std::uint32_t>(headerSize + entrySize * images.size() + data.size());
        for (int i = 0; i < 4; ++i) entry[12 + i] = static_cast<char>(offset >> (8 * i));
        entries += entry;
        data += single.substr(headerSize + entrySize);
    }
    return std::string{'\0', '\0', '\1', '\0', static_cast<char>(images.size()), '\0'} + entries + data;
}

std::uint32_t centre(const Picture& picture) { return picture ? picture->pixel(16, 16) : 0; }

std::shared_ptr<const freedesktop::IconFileFinder> filesOf(const freedesktop::IconThemeLocations& locations)
{
    const auto mimeTypes = std::make_shared<freedesktop::MimeDatabase>(freedesktop::MimeDatabase::foldersOf(freedesktop::Environment::current()));
    return std::make_shared<freedesktop::IconFileFinder>([locations] { return locations; }, mimeTypes);
}

TEST(DesktopIconSourceTest, ImageFilesGiveTheirPictureNearest32By32)
{
    const test::TempDir folder;
    const DesktopIconSource source(filesOf({}));
    // Scaled keeping its shape: 32 x 24, centred on a transparent square.
    const Picture wide = source.loadIcon(folder.write("wide.png", encoded(64, 48, red, "png")).string(), 0);
    ASSERT_TRUE(wide);
    EXPECT_EQ(std::tuple(wide->width, wide->height, wide->colorCount, centre(wide)), std::tuple(32, 32, 0, red));
    EXPECT_EQ(wide->pixel(16, 0) >> 24 | wide->pixel(16, 31) >> 24, 0u);
    const std::pair<std::vector<std::pair<int, std::uint32_t>>, std::uint32_t> icoCases[] = {
        {{{16, blue}, {32, red}, {48, green}}, red},
        {{{48, green}, {32, red}, {16, blue}}, red},
        {{{16, blue}, {48, green}}, green}, // reducing looks better than enlarging
    };
    for (const auto& [images, expected] : icoCases)
        EXPECT_EQ(centre(source.loadIcon(folder.write("several.ico", multiImageIco(images)).string(), 0)), expected) << std::hex << expected;
    // Locations without a picture; an image file holds one icon.
    EXPECT_EQ(source.loadIcon(folder.write("icon.png", encoded(32, 32, red, "png")).string(), 1), nullptr);
    for (const std::string& location : {folder.write("notes.png", "not a picture").string(), (folder.path() / "missing.png").string(),
                                       std::string("folder/icon.png"), std::string()})
        EXPECT_EQ(source.loadIcon(location, 0), nullptr) << location;
}

TEST(DesktopIconSourceTest, TheDesktopThemeHasAPictureForPlainText)
{
    const DesktopIconSource source(filesOf(freedesktop::desktopIconThemeLocations(freedesktop::Environment::current())));
    const Picture picture = source.loadIcon("text-plain", 0);
    ASSERT_TRUE(picture);
    EXPECT_EQ(std::tuple(picture->width, picture->height, picture->colorCount), std::tuple(32, 32, 0));
    EXPECT_TRUE(std::any_of(picture->pixels.begin(), picture->pixels.end(), [](std::uint32_t argb) { return argb >> 24 != 0; }));
    EXPECT_EQ(source.loadIcon("quenarch-no-such-icon", 0), nullptr);
}

} // namespace
} // namespace quenarch::qt
