#pragma once

#include "quenarch/freedesktop/environment.h"
#include "quenarch/freedesktop/icon_theme_cache.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace quenarch::freedesktop {

// Where the desktop keeps its icons.
struct IconThemeLocations {
    std::string themeName;                           // the chosen freedesktop icon theme
    std::vector<std::filesystem::path> themeFolders;  // folders holding themes as sub-folders, searched in order
    std::vector<std::filesystem::path> pixmapFolders; // folders of icons that belong to no theme
};

// The desktop's icon theme: the one a toolkit names (unless it names none or hicolor), else the
// user's GTK setting (gtk-3.0/settings.ini) or KDE setting (kdeglobals), else Adwaita, GTK's own
// default. The folders are the toolkit's, ~/.icons and the icons folders of the data folders;
// the pixmap folders those of the data folders.
IconThemeLocations desktopIconThemeLocations(const Environment& environment, std::string toolkitTheme = {},
                                             std::vector<std::filesystem::path> toolkitFolders = {});

// Finds icon files by name as the freedesktop icon theme rules say: in the theme, then in the
// themes it inherits, then in hicolor, each first by exact size (PNG before SVG and XPM), then
// by nearest size; last in the pixmap folders. Reads the index.theme files when made. A theme
// folder's icon cache, while current, tells which files its directories hold; a directory of a
// folder without one is listed the first time a search reaches it. So a name missing from a
// theme of hundreds of directories costs no more than hash look-ups. Not for concurrent use.
class IconThemeLookup {
public:
    explicit IconThemeLookup(const IconThemeLocations& locations);

    // The file of the icon nearest to size pixels; empty when there is none.
    std::filesystem::path findIcon(const std::string& name, int size);

private:
    struct Directory {
        enum class Type { Fixed, Scalable, Threshold };
        std::string path;
        Type type = Type::Threshold;
        int size = 0;
        int minSize = 0;
        int maxSize = 0;
        int threshold = 2;

        // Per folder of the theme: the directory's number in the folder's icon cache (-1: not
        // in it), or the names of its files once listed, for a folder without a cache.
        std::vector<int> cacheIndex;
        std::vector<std::optional<std::unordered_set<std::string>>> fileNames;

        // 0 when the directory serves that size.
        int distance(int iconSize) const;
    };
    struct Theme {
        std::string name;
        std::vector<std::filesystem::path> folders;          // every folder of the theme, in search order
        std::vector<std::unique_ptr<IconThemeCache>> caches; // per folder; null without a current one
        std::vector<Directory> directories;
    };
    // What the caches of a theme's folders know of one name, per folder.
    using CachedFiles = std::vector<const IconThemeCache::Files*>;

    void addTheme(const std::string& name, const std::vector<std::filesystem::path>& themeFolders);
    static std::filesystem::path findInTheme(Theme& theme, const std::string& name, int size);
    // The file name + suffix in the directory, in the first folder of the theme that has it.
    static std::filesystem::path fileIn(const Theme& theme, Directory& directory, const CachedFiles& cached, const std::string& name,
                                        std::size_t suffix);

    std::vector<Theme> themes_;
    std::vector<std::filesystem::path> pixmapFolders_;
    std::vector<std::optional<std::unordered_set<std::string>>> pixmapFileNames_; // per pixmap folder, once listed
};

} // namespace quenarch::freedesktop
