#include "quenarch/freedesktop/icon_files.h"

#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace quenarch::freedesktop {
namespace {

// A theme "child" that inherits "parent", then hicolor and a pixmap folder, in one temporary
// folder, with the MIME type text/plain known; with and without the themes' icon caches.
class IconFilesTest : public testing::TestWithParam<bool> {
protected:
    IconFilesTest()
    {
        folder.write("icons/child/index.theme",
                     "[Icon Theme]\nInherits=parent\nDirectories=scalable/apps,16x16/apps,32x32/apps,32x32@2/apps,nosize/apps\n"
                     "[scalable/apps]\nSize=32\nType=Scalable\nMinSize=8\nMaxSize=512\n[16x16/apps]\nSize=16\nType=Fixed\n"
                     "[32x32/apps]\nSize=32\nType=Fixed\n[32x32@2/apps]\nSize=32\nScale=2\nType=Fixed\n[nosize/apps]\nType=Fixed\n");
        folder.write("icons/parent/index.theme", "[Icon Theme]\nDirectories=32x32/apps,48x48/apps\n"
                                                 "[32x32/apps]\nSize=32\nType=Fixed\n[48x48/apps]\nSize=48\nType=Fixed\n");
        folder.write("icons/hicolor/index.theme", "[Icon Theme]\nDirectories=48x48/apps\n[48x48/apps]\nSize=48\nType=Threshold\n");
        for (const char* file : {"child/16x16/apps/small.png", "parent/32x32/apps/small.png", "child/32x32/apps/vector.png",
                                 "child/scalable/apps/vector.svg", "child/scalable/apps/drawing.svg", "child/32x32@2/apps/sharp.png",
                                 "child/nosize/apps/unsized.png", "parent/48x48/apps/inherited.png", "hicolor/48x48/apps/fallback.png",
                                 "child/32x32/apps/text-x-generic.png", "child/32x32/apps/.hidden.png"})
            folder.write(std::string("icons/") + file, "");
        folder.write("pixmaps/loose.xpm", "");
        folder.write("mime/types", "text/plain\n");
        if (GetParam()) {
            for (const char* theme : {"child", "parent", "hicolor"}) writeCache(theme);
        }
    }

    void writeCache(const char* theme) const
    {
        const std::string command = "gtk-update-icon-cache --force --quiet " + (folder.path() / "icons" / theme).string();
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    std::filesystem::path find(std::string_view location, std::int32_t index = 0) const
    {
        const std::filesystem::path found = files->find(location, index);
        return found.empty() ? found : found.lexically_relative(folder.path());
    }

    test::TempDir folder;
    std::shared_ptr<IconFileFinder> files = std::make_shared<IconFileFinder>(
        [this] { return IconThemeLocations{"child", {folder.path() / "icons"}, {folder.path() / "pixmaps"}}; },
        std::make_shared<MimeDatabase>(std::vector{folder.path() / "mime"}));
};

TEST_P(IconFilesTest, ThemeIconsAreFoundInTheFreedesktopOrder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"small", "icons/child/16x16/apps/small.png"},          // the theme's nearest size before an exact size in its parent
        {"vector", "icons/child/32x32/apps/vector.png"},         // at the exact size a PNG before an SVG
        {"drawing", "icons/child/scalable/apps/drawing.svg"},    // a scalable picture serves 32 x 32
        {"inherited", "icons/parent/48x48/apps/inherited.png"},  // from the inherited theme
        {"fallback", "icons/hicolor/48x48/apps/fallback.png"},   // from hicolor, which every theme ends in
        {"loose", "pixmaps/loose.xpm"},                          // from the pixmap folders
        {"text-plain", "icons/child/32x32/apps/text-x-generic.png"}, // the generic icon of the MIME type text/plain
        {"sharp", ""},                                           // drawn for high-density screens only
        {"unsized", ""}, {".hidden", ""}, {"no-such-icon", ""}, {"nosuchtype-plain", ""}, {"image-png", ""}, {"-plain", ""}, {"a/b", ""}, {"", ""},
    };
    for (const auto& [name, file] : cases) EXPECT_EQ(find(name), file) << name;
}

TEST_P(IconFilesTest, AnAbsolutePathNamesOneIconFile)
{
    const std::string path = (folder.path() / "pixmaps/loose.xpm").string();
    EXPECT_EQ(find(path), "pixmaps/loose.xpm");
    EXPECT_EQ(find(path, 1), "");
    EXPECT_EQ(find((folder.path() / "missing.png").string()), "");
    // The lister's icons: one blank picture wherever the desktop has an icon.
    const FoundIconSource icons(files);
    const Picture picture = icons.loadIcon("small", 0);
    ASSERT_TRUE(picture);
    EXPECT_EQ(std::tuple(picture->width, picture->height), std::tuple(32, 32));
    EXPECT_EQ(icons.loadIcon("vector", 0), picture);
    EXPECT_EQ(icons.loadIcon("no-such-icon", 0), nullptr);
}

INSTANTIATE_TEST_SUITE_P(IconCaches, IconFilesTest, testing::Bool());

// A cache stands for its directories while it is not older than any of them.
TEST(IconThemeCacheTest, IsTakenWhileCurrentAndSetAsideWhenStale)
{
    const test::TempDir folder;
    folder.write("icons/only/index.theme", "[Icon Theme]\nDirectories=32x32/apps\n[32x32/apps]\nSize=32\nType=Fixed\n");
    folder.write("icons/only/32x32/apps/gone.png", "");
    const std::filesystem::path theme = folder.path() / "icons/only", apps = theme / "32x32/apps";
    ASSERT_EQ(std::system(("gtk-update-icon-cache --force --quiet " + theme.string()).c_str()), 0);
    std::filesystem::remove(apps / "gone.png");
    const auto cacheTime = std::filesystem::last_write_time(theme / "icon-theme.cache");
    const auto find = [&](const char* name) {
        IconThemeLookup lookup({"only", {folder.path() / "icons"}, {}});
        const std::filesystem::path found = lookup.findIcon(name, 32);
        return found.empty() ? found : found.lexically_relative(theme);
    };
    std::filesystem::last_write_time(apps, cacheTime - std::chrono::seconds(10));
    std::filesystem::last_write_time(theme, cacheTime - std::chrono::seconds(10));
    EXPECT_EQ(find("gone"), "32x32/apps/gone.png"); // the cache's word, as Qt and GTK take it
    folder.write("icons/only/32x32/apps/new.png", "");
    std::filesystem::last_write_time(apps, cacheTime + std::chrono::seconds(10));
    EXPECT_EQ(find("gone"), "");
    EXPECT_EQ(find("new"), "32x32/apps/new.png");
}

TEST(IconThemeLocationsTest, TheToolkitsThemeElseTheUsersSettingElseAdwaita)
{
    const test::TempDir folder;
    Environment environment;
    environment.home = folder.path().string();
    environment.xdgDataDirs = "/usr/share";
    using Paths = std::vector<std::filesystem::path>;
    const IconThemeLocations adwaita = desktopIconThemeLocations(environment, "hicolor", {"/toolkit/icons", "/usr/share/icons"});
    EXPECT_EQ(adwaita.themeName, "Adwaita");
    EXPECT_EQ(adwaita.themeFolders, (Paths{"/toolkit/icons", "/usr/share/icons", folder.path() / ".icons", folder.path() / ".local/share/icons"}));
    EXPECT_EQ(adwaita.pixmapFolders, (Paths{folder.path() / ".local/share/pixmaps", "/usr/share/pixmaps"}));
    folder.write(".config/kdeglobals", "[Icons]\nTheme=breeze\n");
    EXPECT_EQ(desktopIconThemeLocations(environment).themeName, "breeze");
    folder.write(".config/gtk-3.0/settings.ini", "[Settings]\ngtk-icon-theme-name = \"Papirus\"\n");
    EXPECT_EQ(desktopIconThemeLocations(environment).themeName, "Papirus");
    EXPECT_EQ(desktopIconThemeLocations(environment, "Oxygen").themeName, "Oxygen");
}

} // namespace
} // namespace quenarch::freedesktop
