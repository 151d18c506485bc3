#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {

// Counts the directory entries, files and directories alike, that match path. An entry named
// exactly path, byte for byte, counts; otherwise the last name of the path may hold the
// wildcards * and ?, names match by case folding, and "\" separates names as "/" does.
std::int32_t FileExists(std::string_view path);

// The file a host named: the path as given when it exists, byte for byte; else the entry whose
// names match it by case folding, one name at a time, with "\" as a separator too. Nothing when
// neither exists.
std::optional<std::filesystem::path> locateFile(std::string_view path);

// Whether name matches a pattern of * and ? (each ? one character) by case folding.
bool matchesWildcard(std::string_view name, std::string_view pattern);

} // namespace quenarch
