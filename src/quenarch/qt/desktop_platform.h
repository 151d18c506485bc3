#pragma once

#include "quenarch/platform/platform.h"

#include <filesystem>
#include <string>

namespace quenarch::qt {

struct DesktopOptions {
    // The encoding of archive texts that are not marked UTF-8; empty: none chosen, so that such
    // texts stay UTF-8 where they are valid UTF-8 and are read in each format's code page else.
    std::string encoding;
    // The folder that holds win.ini; empty: quenarch::defaultSystemFolder().
    std::filesystem::path systemFolder;
};

// The desktop's services, as the command-line lister has them from the freedesktop files (file
// types from the shared MIME database in the user's language, the system locale's conventions
// as Qt reads them from the environment, iconv's encodings), with the icon theme's pictures read
// by Qt and the primary screen's colour depth. Throws std::invalid_argument when the encoding is
// unknown.
Platform desktopPlatform(const DesktopOptions& options = {});

} // namespace quenarch::qt
