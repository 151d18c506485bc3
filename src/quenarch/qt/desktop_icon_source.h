#pragma once

#include "quenarch/platform/icon_source.h"
#include "quenarch/qt/icon_theme.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace quenarch::qt {

// Icons from the desktop as 32 x 32 true-colour pictures. A location is either the absolute path
// of an image file (index 0; of the images in the file the one nearest to 32 x 32) or the name
// of an icon in the desktop's icon theme (the index does not matter). A name the theme lacks that
// spells a MIME type ("text-plain" for text/plain) falls back to the type's generic icon
// ("text-x-generic"). Works with or without a QGuiApplication, and from any thread; the themes
// are read on first use and each name is resolved once.
class DesktopIconSource final : public IconSource {
public:
    explicit DesktopIconSource(IconThemeLocations locations = desktopIconThemeLocations());
    ~DesktopIconSource() override;

    Picture loadIcon(std::string_view location, std::int32_t index) const override;

private:
    Picture loadThemeIcon(const QString& name) const;

    IconThemeLocations locations_;
    mutable std::mutex mutex_;
    mutable std::optional<IconThemeLookup> theme_;                     // guarded by mutex_
    mutable std::unordered_map<std::string, Picture> iconsByName_;      // guarded by mutex_
};

} // namespace quenarch::qt
