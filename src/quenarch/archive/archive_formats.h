#pragma once

#include "quenarch/archive/bytes.h"
#include "quenarch/archive/reader_frame.h"
#include "quenarch/platform/text_codec.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace quenarch {

enum class ArchiveFormat { Cab, Zip, Arc, Lzh, Arj, Rar };

// The reader for the last three characters of an upper-cased path, searched in the order
// CAB, ZIP, ARC, LZH, ARJ, RAR; nothing for any other text.
std::optional<ArchiveFormat> formatForExtension(std::string_view upperCasedExtension);

// "CAB", "ZIP", "ARC", "LZH", "ARJ" or "RAR".
std::string_view extensionOf(ArchiveFormat format);

// Runs one reader over bytes already in memory.
ReadVerdict readArchiveBytes(ArchiveFormat format, Bytes bytes, MemberSink& sink, const TextCodec& codec);

// Runs one reader over a file: announces the format to the sink, opens the file, reads it,
// closes it, and reports an invalid archive after closing. A file that cannot be opened gives
// an empty listing, except for RAR and CAB, whose readers let the error reach the host.
void readArchive(ArchiveFormat format, const std::filesystem::path& path, MemberSink& sink, const TextCodec& codec);

} // namespace quenarch
