#pragma once

#include "quenarch/archive/archive_formats.h"

#include <cstdint>
#include <optional>
#include <span>

namespace quenarch {

// What a C++ host may tell the control about an archive beyond its path, through
// QuenArchive::openArchive: the reader to list it with, and bytes already in memory. Hosts that
// call through the dispatch interface only name files, whose last three characters choose.
struct ArchiveSource {
    // The reader that lists the archive whatever its name; nothing lets the name choose.
    std::optional<ArchiveFormat> format;
    // Bytes to list instead of a file (an archive read from standard input, say); they need a
    // format. The path then only names them: Archive reads it back, and no file is looked for.
    // The caller keeps the bytes alive for the call.
    std::optional<std::span<const std::uint8_t>> bytes;
};

} // namespace quenarch
