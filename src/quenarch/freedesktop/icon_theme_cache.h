#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quenarch::freedesktop {

// The index that gtk-update-icon-cache writes into a theme folder (icon-theme.cache): for each
// icon name, the theme directories that hold a file of it and that file's kinds. It stands in
// for listing the directories only while it is current, as Qt and GTK take it: written no
// earlier than the theme folder and every directory it names were last changed.
class IconThemeCache {
public:
    enum Suffix : std::uint16_t { Xpm = 1, Svg = 2, Png = 4 };
    // The files of one icon name: the number of each directory that holds some, and their suffixes.
    using Files = std::vector<std::pair<std::uint16_t, std::uint16_t>>;

    // Nothing when the folder has no current cache.
    static std::unique_ptr<IconThemeCache> open(const std::filesystem::path& themeFolder);
    ~IconThemeCache();
    IconThemeCache(const IconThemeCache&) = delete;
    IconThemeCache& operator=(const IconThemeCache&) = delete;

    // The number of a directory as index.theme names it ("32x32/apps"); -1 when the cache has no
    // file in it.
    int directoryIndex(std::string_view directory) const;
    // Where the files of an icon name are; looked up once a name.
    const Files& filesOf(const std::string& name);
    static bool holds(const Files& files, int directory, Suffix suffix);

private:
    IconThemeCache(const unsigned char* data, std::size_t size);
    std::uint16_t read16(std::size_t offset) const;
    std::uint32_t read32(std::size_t offset) const;
    std::string_view textAt(std::size_t offset) const; // "" when it would run off the end

    const unsigned char* data_;
    std::size_t size_;
    std::unordered_map<std::string_view, std::uint16_t> directoryIndex_;
    std::unordered_map<std::string, Files> filesByName_;
};

} // namespace quenarch::freedesktop
