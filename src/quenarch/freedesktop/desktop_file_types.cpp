#include "quenarch/freedesktop/desktop_file_types.h"

#include "quenarch/base/text_case.h"

namespace quenarch::freedesktop {

DesktopFileTypes::DesktopFileTypes(std::shared_ptr<const MimeDatabase> database, std::vector<std::string> commentLanguages)
    : database_(std::move(database)), commentLanguages_(std::move(commentLanguages))
{
}

DesktopFileTypes::Found DesktopFileTypes::found(std::string_view extension, bool withDescription) const
{
    // Archives of many members may hold many extensions that name no type: what is kept is
    // bounded, and beyond that an extension is looked up each time it is asked for.
    constexpr std::size_t extensionsKept = 4096;
    std::lock_guard lock(mutex_);
    const auto entry = byExtension_.find(extension);
    Found looked;
    Found& found = entry != byExtension_.end()              ? entry->second
                   : byExtension_.size() < extensionsKept ? byExtension_.try_emplace(std::string(extension)).first->second
                                                            : looked;
    if (entry == byExtension_.end()) {
        // A folder entry of a DOS-era archive may leave a "\" at the end of its extension.
        while (extension.ends_with('\\')) extension.remove_suffix(1);
        if (extension.find_first_of("/\\") == std::string_view::npos) found.type = database_->typeOfFileName("x." + foldCase(extension));
    }
    if (withDescription && !found.description && !found.type.empty()) found.description = database_->comment(found.type, commentLanguages_);
    return found;
}

std::optional<std::string> DesktopFileTypes::description(std::string_view extension) const
{
    return found(extension, true).description;
}

std::optional<IconLocation> DesktopFileTypes::icon(std::string_view extension) const
{
    const std::string type = found(extension, false).type;
    if (type.empty()) return std::nullopt;
    return IconLocation{database_->iconName(type), 0};
}

} // namespace quenarch::freedesktop
