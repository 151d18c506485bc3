#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quenarch::freedesktop {

// The variables of the process environment that the desktop's services read, taken once; tests
// fill in their own. A variable that is set but empty counts as unset.
struct Environment {
    std::string home;
    std::string xdgDataHome;
    std::string xdgDataDirs;
    std::string xdgConfigHome;
    std::string lcAll;
    std::string lcNumeric;
    std::string lcTime;
    std::string lcMessages;
    std::string lang;
    std::string language;

    static Environment current();
};

// The folders that hold the desktop's shared data, most important first: $XDG_DATA_HOME (else
// ~/.local/share), then each absolute folder of $XDG_DATA_DIRS once (else /usr/local/share and
// /usr/share).
std::vector<std::filesystem::path> dataFolders(const Environment& environment);

// The user's configuration folder: $XDG_CONFIG_HOME, else ~/.config.
std::filesystem::path configFolder(const Environment& environment);

// The user's home folder: $HOME, else "/".
std::filesystem::path homeFolder(const Environment& environment);

} // namespace quenarch::freedesktop
