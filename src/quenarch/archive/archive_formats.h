#pragma once

#include "quenarch/archive/byte_source.h"
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

// The format a user names: "zip", "arj", "lzh", "arc", "rar" or "cab", in any letter case.
std::optional<ArchiveFormat> formatForName(std::string_view name);

// "CAB", "ZIP", "ARC", "LZH", "ARJ" or "RAR".
std::string_view extensionOf(ArchiveFormat format);

// Runs one reader over a source already open: announces the format to the sink, reads, and
// reports an invalid archive. Names and comments that the archive does not mark as UTF-8 go
// through chosenCodec when the host chose one (it may be null); without one, the text stays as
// it is when it is valid UTF-8 and is read in the format's code page otherwise: IBM437 for ZIP,
// ARJ and ARC, Windows-1252 for LZH, RAR and CAB.
void readArchive(ArchiveFormat format, ByteSource& source, MemberSink& sink, const TextCodec* chosenCodec);

// The same for a file, opened for the read and closed after it. A file that cannot be opened
// (missing, a directory, a FIFO or device, unreadable) raises "Permission denied" (70) or
// "Path/File access error" (75) after the format was announced. A readable file that is not an
// archive of the format is reported invalid; an empty file lists nothing.
void readArchive(ArchiveFormat format, const std::filesystem::path& path, MemberSink& sink, const TextCodec* chosenCodec);

} // namespace quenarch
