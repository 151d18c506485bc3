#pragma once

#include "quenarch/freedesktop/icon_theme.h"
#include "quenarch/freedesktop/mime_database.h"
#include "quenarch/platform/icon_source.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace quenarch::freedesktop {

// Finds the file of an icon location: an absolute path names an image file (index 0: the file
// holds one icon), anything else without "/" an icon of the icon theme, at 32 x 32 or the size
// nearest to it. A name the theme lacks that spells a MIME type ("text-plain" for text/plain)
// falls back to the type's generic icon ("text-x-generic"). Reads the themes on first use and
// resolves each name once. Safe to share between threads.
class IconFileFinder {
public:
    // The locations are asked for when the first icon is.
    IconFileFinder(std::function<IconThemeLocations()> locations, std::shared_ptr<const MimeDatabase> mimeTypes);
    ~IconFileFinder();

    // Empty when the location has no icon file.
    std::filesystem::path find(std::string_view location, std::int32_t index) const;

private:
    std::function<IconThemeLocations()> locations_;
    std::shared_ptr<const MimeDatabase> mimeTypes_;
    mutable std::mutex mutex_;
    mutable std::optional<IconThemeLookup> theme_;                                 // guarded by mutex_
    mutable std::unordered_map<std::string, std::filesystem::path> filesByName_; // guarded by mutex_
};

// Icons for a program that only needs to know whether the desktop has one: one blank 32 x 32
// picture for every location whose icon file exists, read from no file.
class FoundIconSource final : public IconSource {
public:
    explicit FoundIconSource(std::shared_ptr<const IconFileFinder> finder);
    Picture loadIcon(std::string_view location, std::int32_t index) const override;

private:
    std::shared_ptr<const IconFileFinder> finder_;
};

} // namespace quenarch::freedesktop
