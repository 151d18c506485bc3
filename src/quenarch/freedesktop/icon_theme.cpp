#include "quenarch/freedesktop/icon_theme.h"

#include "quenarch/freedesktop/ini_file.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace quenarch::freedesktop {
namespace {

// In the order they are preferred, with the cache's mark for each.
constexpr std::string_view iconExtensions[] = {".png", ".svg", ".xpm"};
constexpr IconThemeCache::Suffix cacheSuffixes[] = {IconThemeCache::Png, IconThemeCache::Svg, IconThemeCache::Xpm};

constexpr std::string_view fallbackTheme = "hicolor";

// The names of the files in a theme's directory as Qt lists them: files and links to files,
// without the hidden ones. In a pixmap folder every name counts that leads somewhere, as a
// pixmap is looked for by its name alone.
std::unordered_set<std::string> fileNamesIn(const std::filesystem::path& folder, bool pixmaps = false)
{
    std::unordered_set<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        std::string name = entry->path().filename().string();
        const bool counts = pixmaps ? entry->exists(error) : !name.starts_with('.') && entry->is_regular_file(error);
        if (counts) names.insert(std::move(name));
    }
    return names;
}

std::string configuredIconTheme(const Environment& environment)
{
    const std::filesystem::path config = configFolder(environment);
    const std::string gtk(IniFile::read(config / "gtk-3.0/settings.ini").value("Settings", "gtk-icon-theme-name").value_or(""));
    if (!gtk.empty()) return gtk;
    return std::string(IniFile::read(config / "kdeglobals").value("Icons", "Theme").value_or(""));
}

template <typename Value>
void appendOnce(std::vector<Value>& values, Value value)
{
    if (std::find(values.begin(), values.end(), value) == values.end()) values.push_back(std::move(value));
}

bool isDirectory(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool fileExists(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

} // namespace

IconThemeLocations desktopIconThemeLocations(const Environment& environment, std::string toolkitTheme,
                                             std::vector<std::filesystem::path> toolkitFolders)
{
    IconThemeLocations locations;
    locations.themeName = std::move(toolkitTheme);
    // A toolkit that knows no desktop setting names hicolor, which is searched last anyway.
    if (locations.themeName.empty() || locations.themeName == fallbackTheme) locations.themeName = configuredIconTheme(environment);
    if (locations.themeName.empty()) locations.themeName = "Adwaita";

    for (std::filesystem::path& folder : toolkitFolders) appendOnce(locations.themeFolders, std::move(folder));
    appendOnce(locations.themeFolders, homeFolder(environment) / ".icons");
    for (const std::filesystem::path& data : dataFolders(environment)) {
        appendOnce(locations.themeFolders, data / "icons");
        appendOnce(locations.pixmapFolders, data / "pixmaps");
    }
    return locations;
}

int IconThemeLookup::Directory::distance(int iconSize) const
{
    switch (type) {
    case Type::Fixed: return std::abs(size - iconSize);
    case Type::Scalable: return std::max({minSize - iconSize, iconSize - maxSize, 0});
    case Type::Threshold: return std::max({size - threshold - iconSize, iconSize - size - threshold, 0});
    }
    return INT_MAX;
}

IconThemeLookup::IconThemeLookup(const IconThemeLocations& locations) : pixmapFolders_(locations.pixmapFolders)
{
    addTheme(locations.themeName, locations.themeFolders);
    addTheme(std::string(fallbackTheme), locations.themeFolders);
}

void IconThemeLookup::addTheme(const std::string& name, const std::vector<std::filesystem::path>& themeFolders)
{
    if (name.empty() || std::any_of(themes_.begin(), themes_.end(), [&](const Theme& theme) { return theme.name == name; })) return;
    Theme theme{name, {}, {}, {}};
    std::filesystem::path indexFile;
    for (const std::filesystem::path& folder : themeFolders) {
        std::filesystem::path themeFolder = folder / name;
        if (!isDirectory(themeFolder)) continue;
        if (indexFile.empty() && fileExists(themeFolder / "index.theme")) indexFile = themeFolder / "index.theme";
        theme.folders.push_back(std::move(themeFolder));
    }
    if (indexFile.empty()) return;
    for (const std::filesystem::path& folder : theme.folders) theme.caches.push_back(IconThemeCache::open(folder));
    const bool allCached = std::all_of(theme.caches.begin(), theme.caches.end(), [](const auto& cache) { return cache != nullptr; });

    const IniFile index = IniFile::read(indexFile);
    const IniFile::Section about = index.section("Icon Theme");
    std::vector<int> cacheIndex(theme.caches.size());
    for (const std::string_view path : about.list("Directories")) {
        if (path.empty()) continue;
        bool cached = false;
        for (std::size_t i = 0; i < theme.caches.size(); ++i) {
            cacheIndex[i] = theme.caches[i] ? theme.caches[i]->directoryIndex(path) : -1;
            cached = cached || cacheIndex[i] >= 0;
        }
        // Where every folder has a current cache, a directory none of them names holds no icon.
        if (allCached && !cached) continue;
        Directory directory;
        directory.cacheIndex = cacheIndex;
        const IniFile::Section keys = index.section(path);
        const std::optional<int> size = keys.number("Size");
        // Pictures for high-density screens are drawn at a multiple of their nominal size.
        if (!size || (keys.value("Scale") && keys.number("Scale") != 1)) continue;
        // A value that is there but no number counts as 0.
        const auto numberOr = [&](std::string_view key, int missing) { return keys.value(key) ? keys.number(key).value_or(0) : missing; };
        directory.path = path;
        directory.fileNames.resize(theme.folders.size());
        directory.size = *size;
        directory.minSize = numberOr("MinSize", *size);
        directory.maxSize = numberOr("MaxSize", *size);
        directory.threshold = numberOr("Threshold", 2);
        const std::string_view type = keys.value("Type").value_or("");
        if (type == "Fixed")
            directory.type = Directory::Type::Fixed;
        else if (type == "Scalable")
            directory.type = Directory::Type::Scalable;
        theme.directories.push_back(std::move(directory));
    }
    std::vector<std::string> parents;
    for (const std::string_view parent : about.list("Inherits")) parents.emplace_back(parent);
    themes_.push_back(std::move(theme));
    for (const std::string& parent : parents) addTheme(parent, themeFolders);
}

std::filesystem::path IconThemeLookup::findIcon(const std::string& name, int size)
{
    for (Theme& theme : themes_) {
        std::filesystem::path file = findInTheme(theme, name, size);
        if (!file.empty()) return file;
    }
    pixmapFileNames_.resize(pixmapFolders_.size());
    for (std::size_t i = 0; i < pixmapFolders_.size(); ++i) {
        if (!pixmapFileNames_[i]) pixmapFileNames_[i] = fileNamesIn(pixmapFolders_[i], true);
        for (const std::string_view extension : iconExtensions) {
            const std::string fileName = name + std::string(extension);
            if (pixmapFileNames_[i]->contains(fileName)) return pixmapFolders_[i] / fileName;
        }
    }
    return {};
}

std::filesystem::path IconThemeLookup::findInTheme(Theme& theme, const std::string& name, int size)
{
    // A theme's hidden files are no icons, whether its folders are listed or cached.
    if (name.starts_with('.')) return {};
    CachedFiles cached;
    bool maybe = false; // whether some folder may hold the name
    for (const std::unique_ptr<IconThemeCache>& cache : theme.caches) {
        cached.push_back(cache ? &cache->filesOf(name) : nullptr);
        maybe = maybe || cached.back() == nullptr || !cached.back()->empty();
    }
    if (!maybe) return {};
    for (std::size_t suffix = 0; suffix < std::size(iconExtensions); ++suffix) {
        for (Directory& directory : theme.directories) {
            if (directory.distance(size) != 0) continue;
            std::filesystem::path file = fileIn(theme, directory, cached, name, suffix);
            if (!file.empty()) return file;
        }
    }
    std::filesystem::path closest;
    int closestDistance = INT_MAX;
    for (Directory& directory : theme.directories) {
        const int distance = directory.distance(size);
        if (distance >= closestDistance) continue;
        for (std::size_t suffix = 0; suffix < std::size(iconExtensions); ++suffix) {
            std::filesystem::path file = fileIn(theme, directory, cached, name, suffix);
            if (file.empty()) continue;
            closest = std::move(file);
            closestDistance = distance;
            break;
        }
    }
    return closest;
}

std::filesystem::path IconThemeLookup::fileIn(const Theme& theme, Directory& directory, const CachedFiles& cached, const std::string& name,
                                              std::size_t suffix)
{
    for (std::size_t i = 0; i < theme.folders.size(); ++i) {
        bool holds = false;
        if (cached[i] != nullptr) {
            holds = IconThemeCache::holds(*cached[i], directory.cacheIndex[i], cacheSuffixes[suffix]);
        } else {
            std::optional<std::unordered_set<std::string>>& names = directory.fileNames[i];
            if (!names) names = fileNamesIn(theme.folders[i] / directory.path);
            holds = names->contains(name + std::string(iconExtensions[suffix]));
        }
        if (holds) return theme.folders[i] / directory.path / (name + std::string(iconExtensions[suffix]));
    }
    return {};
}

} // namespace quenarch::freedesktop
