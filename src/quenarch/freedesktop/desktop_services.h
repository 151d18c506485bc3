#pragma once

#include "quenarch/freedesktop/environment.h"
#include "quenarch/freedesktop/icon_files.h"
#include "quenarch/platform/platform.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quenarch::freedesktop {

struct DesktopOptions {
    // The encoding of archive texts that are not marked UTF-8; empty: UTF-8 where valid, else
    // Windows-1252.
    std::string encoding;
    // The folder that holds win.ini; empty: quenarch::defaultSystemFolder().
    std::filesystem::path systemFolder;
    // The icon theme a toolkit names and the folders it searches first; empty: the user's
    // desktop settings alone.
    std::string iconTheme;
    std::vector<std::filesystem::path> iconThemeFolders;
};

struct DesktopServices {
    // File types from the shared MIME database described in the user's language, the system
    // locale's conventions, win.ini from the system folder, the encoding, no registry, icons as
    // FoundIconSource knows them and 24-bit colour.
    Platform platform;
    std::shared_ptr<const IconFileFinder> iconFiles;
};

// The desktop's services as the environment sets them up. Nothing is read from the disk until a
// service is first asked. Throws std::invalid_argument when the encoding is unknown.
DesktopServices desktopServices(const DesktopOptions& options, const Environment& environment = Environment::current());

} // namespace quenarch::freedesktop
