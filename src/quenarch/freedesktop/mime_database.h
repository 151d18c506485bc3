#pragma once

#include "quenarch/freedesktop/environment.h"
#include "quenarch/freedesktop/glob_pattern.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quenarch::freedesktop {

// The shared MIME database of the desktop, read from the files that update-mime-database writes
// in each mime folder: globs2, the types' XML files, icons, generic-icons, types and aliases. It
// answers as Qt's QMimeDatabase does on a database with a mime.cache, and reads a file only when
// a question first needs it. Safe to share between threads.
class MimeDatabase {
public:
    // The mime folders, most important first.
    explicit MimeDatabase(std::vector<std::filesystem::path> folders);
    ~MimeDatabase();
    MimeDatabase(const MimeDatabase&) = delete;
    MimeDatabase& operator=(const MimeDatabase&) = delete;

    // The "mime" folders of the desktop's data folders that exist.
    static std::vector<std::filesystem::path> foldersOf(const Environment& environment);

    // The type that the file name's glob patterns choose; "" when none matches. In each folder
    // the file name's literal patterns come first, then its longest suffix pattern (such as
    // "*.txt"), then the other patterns, the later ones only while nothing has matched; the
    // highest weight wins, then the longest pattern, then the first type name in byte order.
    std::string typeOfFileName(std::string_view fileName) const;

    // The type's comment in the first of the languages ("de", "pt_BR", "default" for the one
    // without a language) that it has a comment in, else the type's name. The comments are those
    // of the first folder whose XML file of the type has any.
    std::string comment(std::string_view type, const std::vector<std::string>& languages) const;
    // The icon name of a type: the first folder's entry in icons, else the type with "/" as "-".
    std::string iconName(std::string_view type) const;
    // The generic icon name: the first folder's entry in generic-icons, else the media type
    // followed by "-x-generic", as "text-x-generic".
    std::string genericIconName(std::string_view type) const;
    // The type named, or the type that an alias names, when some folder knows it; else "".
    std::string knownType(std::string_view nameOrAlias) const;

private:
    struct Globs;
    struct Folder;
    struct MatchResult;

    std::string iconEntry(std::string_view type, bool generic) const;

    mutable std::mutex mutex_;
    mutable std::vector<Folder> folders_; // read on demand, under mutex_
};

} // namespace quenarch::freedesktop
