#pragma once

#include "quenarch/freedesktop/mime_database.h"
#include "quenarch/platform/file_type_source.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quenarch::freedesktop {

// File types from the shared MIME database: an extension has the type that the file name
// "x.ext" (the extension case-folded) matches, described by the type's comment in the first of
// the languages given that it has, else by the type's name; its icon is the type's icon name.
// An extension with "/" or "\" in it, apart from a "\" at its end, has no type. What is found
// for the first few thousand extensions is kept. Safe to share between threads.
class DesktopFileTypes final : public FileTypeSource {
public:
    DesktopFileTypes(std::shared_ptr<const MimeDatabase> database, std::vector<std::string> commentLanguages);

    std::optional<std::string> description(std::string_view extension) const override;
    std::optional<IconLocation> icon(std::string_view extension) const override;

private:
    struct Found {
        std::string type; // "" for none
        std::optional<std::string> description;
    };
    // The answers for an extension, the description looked up when asked for.
    Found found(std::string_view extension, bool withDescription) const;

    std::shared_ptr<const MimeDatabase> database_;
    std::vector<std::string> commentLanguages_;
    mutable std::mutex mutex_;
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    mutable std::unordered_map<std::string, Found, TextHash, std::equal_to<>> byExtension_; // guarded by mutex_
};

} // namespace quenarch::freedesktop
