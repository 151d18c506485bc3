#pragma once

#include "quenarch/freedesktop/icon_files.h"
#include "quenarch/platform/icon_source.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace quenarch::qt {

// Icons from the desktop as 32 x 32 true-colour pictures: the file that the finder gives for a
// location, read with QImageReader (of the images in a file the one nearest to 32 x 32). Works
// with or without a QGuiApplication, and from any thread; the picture of each icon name is read
// once.
class DesktopIconSource final : public IconSource {
public:
    explicit DesktopIconSource(std::shared_ptr<const freedesktop::IconFileFinder> files);
    ~DesktopIconSource() override;

    Picture loadIcon(std::string_view location, std::int32_t index) const override;

private:
    std::shared_ptr<const freedesktop::IconFileFinder> files_;
    mutable std::mutex mutex_;
    mutable std::unordered_map<std::string, Picture> iconsByName_; // guarded by mutex_
};

} // namespace quenarch::qt
