#include "qt/desktop_icon_source.h"

#include "support/test_platform.h"

#include <QBuffer>
#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quenarch::qt {
namespace {

using test::TempDir;

constexpr std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, yellow = 0xFFFFFF00,
                        magenta = 0xFFFF00FF, cyan = 0xFF00FFFF, grey = 0xFF808080;

QImage filled(int width, int height, std::uint32_t argb)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(argb);
    return image;
}

std::string encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

QString pathOf(const std::filesystem::path& file) { return QString::fromStdString(file.string()); }

// One ICO file holding the images in the order given, made from single-image ICO files: the
// directory entries are copied with their data offsets moved past the larger directory.
std::string multiImageIco(const std::vector<QImage>& images)
{
    constexpr std::size_t headerSize = 6, entrySize = 16;
    std::string header{'\0', '\0', '\1', '\0', static_cast<char>(images.size()), '\0'};
    std::string entries, data;
    for (const QImage& image : images) {
        const std::string single = encoded(image, "ico");
        std::string entry = single.substr(headerSize, entrySize);
        const auto offset = static_cast<std::uint32_t>(headerSize + entrySize * images.size() + data.size());
        for (int i = 0; i < 4; ++i) entry[12 + i] = static_cast<char>(offset >> (8 * i));
        entries += entry;
        data += single.substr(headerSize + entrySize);
    }
    return header + entries + data;
}

std::uint32_t centre(const Picture& picture) { return picture->pixel(16, 16); }

TEST(DesktopIconSourceTest, ImageFilesAreScaledTo32By32KeepingTheirShape)
{
    const TempDir folder;
    const DesktopIconSource source(IconThemeLocations{});
    const Picture picture = source.loadIcon(folder.write("wide.png", encoded(filled(64, 48, red), "png")).string(), 0);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 32);
    EXPECT_EQ(picture->height, 32);
    EXPECT_EQ(picture->colorCount, 0);
    EXPECT_EQ(centre(picture), red);
    EXPECT_EQ(picture->pixel(16, 0) >> 24, 0u); // 32 x 24, centred on a transparent square
    EXPECT_EQ(picture->pixel(16, 31) >> 24, 0u);
}

TEST(DesktopIconSourceTest, LocationsWithoutAPictureGiveNothing)
{
    const TempDir folder;
    const DesktopIconSource source(IconThemeLocations{});
    const std::string image = folder.write("icon.png", encoded(filled(32, 32, red), "png")).string();
    EXPECT_EQ(source.loadIcon(image, 1), nullptr); // an image file holds one icon
    EXPECT_EQ(source.loadIcon(folder.write("notes.png", "not a picture").string(), 0), nullptr);
    EXPECT_EQ(source.loadIcon((folder.path() / "missing.png").string(), 0), nullptr);
    EXPECT_EQ(source.loadIcon("folder/icon.png", 0), nullptr);
    EXPECT_EQ(source.loadIcon("", 0), nullptr);
}

struct IcoCase {
    std::vector<QImage> images;
    std::uint32_t expected;
};

class IcoFrames : public ::testing::TestWithParam<IcoCase> {};

TEST_P(IcoFrames, TheImageNearest32By32IsTaken)
{
    const TempDir folder;
    const DesktopIconSource source(IconThemeLocations{});
    const Picture picture = source.loadIcon(folder.write("several.ico", multiImageIco(GetParam().images)).string(), 0);
    ASSERT_TRUE(picture);
    EXPECT_EQ(centre(picture), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, IcoFrames,
                         ::testing::Values(IcoCase{{filled(16, 16, blue), filled(32, 32, red), filled(48, 48, green)}, red},
                                           IcoCase{{filled(48, 48, green), filled(32, 32, red), filled(16, 16, blue)}, red},
                                           IcoCase{{filled(16, 16, blue), filled(48, 48, green)}, green},
                                           IcoCase{{filled(64, 64, yellow), filled(24, 24, blue)}, blue}));

// A theme "child" that inherits "parent", hicolor and a pixmap folder, in one temporary folder.
class ThemeLookup : public ::testing::Test {
protected:
    ThemeLookup()
    {
        folder.write("icons/child/index.theme",
                     "[Icon Theme]\nName=Child\nInherits=parent\nDirectories=scalable/apps,16x16/apps,32x32/apps,32x32@2/apps\n\n"
                     "[scalable/apps]\nSize=32\nType=Scalable\nMinSize=8\nMaxSize=512\n\n"
                     "[16x16/apps]\nSize=16\nType=Fixed\n\n"
                     "[32x32/apps]\nSize=32\nType=Fixed\n\n"
                     "[32x32@2/apps]\nSize=32\nScale=2\nType=Fixed\n");
        folder.write("icons/parent/index.theme",
                     "[Icon Theme]\nName=Parent\nDirectories=32x32/apps,48x48/apps\n\n"
                     "[32x32/apps]\nSize=32\nType=Fixed\n\n[48x48/apps]\nSize=48\nType=Fixed\n");
        folder.write("icons/hicolor/index.theme",
                     "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\nType=Threshold\n");
        png("icons/child/16x16/apps/small.png", 16, blue);
        png("icons/parent/32x32/apps/small.png", 32, red);
        svg("icons/child/scalable/apps/vector.svg", green);
        png("icons/child/32x32/apps/vector.png", 32, red);
        svg("icons/child/scalable/apps/drawing.svg", green);
        png("icons/child/32x32@2/apps/sharp.png", 64, red);
        png("icons/parent/48x48/apps/inherited.png", 48, yellow);
        png("icons/hicolor/48x48/apps/fallback.png", 48, magenta);
        png("pixmaps/loose.png", 24, cyan);
        png("icons/child/32x32/apps/text-x-generic.png", 32, grey);
    }

    void png(const std::string& name, int size, std::uint32_t argb) const { folder.write(name, encoded(filled(size, size, argb), "png")); }

    void svg(const std::string& name, std::uint32_t argb) const
    {
        const QString colour = QColor::fromRgba(argb).name();
        folder.write(name, QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16' viewBox='0 0 16 16'>"
                                          "<rect width='16' height='16' fill='%1'/></svg>")
                               .arg(colour)
                               .toStdString());
    }

    IconThemeLocations locations() const
    {
        return {QStringLiteral("child"), {pathOf(folder.path() / "icons")}, {pathOf(folder.path() / "pixmaps")}};
    }

    TempDir folder;
};

TEST_F(ThemeLookup, FollowsTheFreedesktopOrder)
{
    const struct {
        const char* name;
        std::uint32_t colour;
    } cases[] = {
        {"small", blue},       // the theme's nearest size comes before an exact size in its parent
        {"vector", red},       // at the exact size a PNG comes before an SVG
        {"drawing", green},    // an SVG alone is drawn at 32 x 32
        {"inherited", yellow}, // from the inherited theme
        {"fallback", magenta}, // from hicolor, which every theme ends in
        {"loose", cyan},       // from the pixmap folders
        {"text-plain", grey},  // the generic icon of the MIME type text/plain
    };
    const DesktopIconSource source(locations());
    for (const auto& c : cases) {
        const Picture picture = source.loadIcon(c.name, 0);
        ASSERT_TRUE(picture) << c.name;
        EXPECT_EQ(centre(picture), c.colour) << c.name;
    }
}

TEST_F(ThemeLookup, UnknownNamesGiveNothing)
{
    const DesktopIconSource source(locations());
    for (const char* name : {"sharp", "no-such-icon", "nosuchtype-plain", "image-png"})
        EXPECT_EQ(source.loadIcon(name, 0), nullptr) << name;
}

TEST(DesktopIconSourceTest, TheDesktopThemeHasAPictureForPlainText)
{
    const DesktopIconSource source;
    const Picture picture = source.loadIcon("text-plain", 0);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 32);
    EXPECT_EQ(picture->height, 32);
    EXPECT_EQ(picture->colorCount, 0);
    EXPECT_TRUE(std::any_of(picture->pixels.begin(), picture->pixels.end(), [](std::uint32_t argb) { return argb >> 24 != 0; }));
    EXPECT_EQ(source.loadIcon("quenarch-no-such-icon", 0), nullptr);
}

} // namespace
} // namespace quenarch::qt
