#include "quenarch/freedesktop/environment.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace quenarch::freedesktop {
namespace {

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The path without "." and ".." steps, doubled separators or a separator at its end.
std::filesystem::path cleanPath(std::string_view text)
{
    std::filesystem::path clean = std::filesystem::path(text).lexically_normal();
    if (!clean.has_filename() && clean.has_relative_path()) clean = clean.parent_path();
    return clean;
}

} // namespace

Environment Environment::current()
{
    return Environment{variable("HOME"),        variable("XDG_DATA_HOME"), variable("XDG_DATA_DIRS"), variable("XDG_CONFIG_HOME"),
                       variable("LC_ALL"),      variable("LC_NUMERIC"),    variable("LC_TIME"),       variable("LC_MESSAGES"),
                       variable("LANG"),        variable("LANGUAGE")};
}

std::filesystem::path homeFolder(const Environment& environment)
{
    return environment.home.empty() ? std::filesystem::path("/") : cleanPath(environment.home);
}

std::filesystem::path configFolder(const Environment& environment)
{
    return environment.xdgConfigHome.empty() ? homeFolder(environment) / ".config" : std::filesystem::path(environment.xdgConfigHome);
}

std::vector<std::filesystem::path> dataFolders(const Environment& environment)
{
    std::vector<std::filesystem::path> folders{environment.xdgDataHome.empty() ? homeFolder(environment) / ".local/share"
                                                                               : std::filesystem::path(environment.xdgDataHome)};
    if (environment.xdgDataDirs.empty()) {
        folders.emplace_back("/usr/local/share");
        folders.emplace_back("/usr/share");
        return folders;
    }
    std::vector<std::filesystem::path> shared;
    std::string_view rest = environment.xdgDataDirs;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (!folder.starts_with('/')) continue;
        std::filesystem::path clean = cleanPath(folder);
        if (std::find(shared.begin(), shared.end(), clean) == shared.end()) shared.push_back(std::move(clean));
    }
    folders.insert(folders.end(), shared.begin(), shared.end());
    return folders;
}

} // namespace quenarch::freedesktop
