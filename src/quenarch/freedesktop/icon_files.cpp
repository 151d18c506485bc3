#include "quenarch/freedesktop/icon_files.h"

namespace quenarch::freedesktop {
namespace {

constexpr int iconSize = 32;

} // namespace

IconFileFinder::IconFileFinder(std::function<IconThemeLocations()> locations, std::shared_ptr<const MimeDatabase> mimeTypes)
    : locations_(std::move(locations)), mimeTypes_(std::move(mimeTypes))
{
}

IconFileFinder::~IconFileFinder() = default;

std::filesystem::path IconFileFinder::find(std::string_view location, std::int32_t index) const
{
    if (location.starts_with('/')) {
        std::error_code error;
        return index == 0 && std::filesystem::exists(location, error) ? std::filesystem::path(location) : std::filesystem::path();
    }
    if (location.empty() || location.find('/') != std::string_view::npos) return {};

    std::lock_guard lock(mutex_);
    const auto [entry, added] = filesByName_.try_emplace(std::string(location));
    if (!added) return entry->second;
    if (!theme_) theme_.emplace(locations_());
    std::filesystem::path file = theme_->findIcon(entry->first, iconSize);
    const std::size_t dash = location.find('-');
    if (file.empty() && dash != 0 && dash != std::string_view::npos) {
        std::string typeName(location);
        typeName[dash] = '/';
        const std::string type = mimeTypes_->knownType(typeName);
        if (!type.empty()) file = theme_->findIcon(mimeTypes_->genericIconName(type), iconSize);
    }
    entry->second = file;
    return file;
}

FoundIconSource::FoundIconSource(std::shared_ptr<const IconFileFinder> finder) : finder_(std::move(finder)) {}

Picture FoundIconSource::loadIcon(std::string_view location, std::int32_t index) const
{
    static const Picture blank = std::make_shared<Image>(iconSize, iconSize, 0);
    return finder_->find(location, index).empty() ? nullptr : blank;
}

} // namespace quenarch::freedesktop
