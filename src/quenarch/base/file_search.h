#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {

// Counts the directory entries, files and directories alike, that match path. The last name of
// the path may hold the wildcards * and ?; names match without regard to letter case, and "\"
// separates names as "/" does. Replaces path by its upper-case form, as the caller relies on.
std::int32_t FileExists(std::string& path);

// The file a host named: the path as given when it exists, else the entry whose names match it
// without regard to letter case, one name at a time. Nothing when neither exists.
std::optional<std::filesystem::path> locateFile(std::string_view path);

// Whether name matches a pattern of * and ? without regard to letter case.
bool matchesWildcard(std::string_view name, std::string_view pattern);

} // namespace quenarch
