#include "quenarch/archive/archive_formats.h"

#include "quenarch/archive/arc_reader.h"
#include "quenarch/archive/arj_reader.h"
#include "quenarch/archive/byte_source.h"
#include "quenarch/archive/cab_reader.h"
#include "quenarch/archive/lzh_reader.h"
#include "quenarch/archive/rar_reader.h"
#include "quenarch/archive/zip_reader.h"
#include "quenarch/base/automation_error.h"

#include <algorithm>
#include <array>

namespace quenarch {
namespace {

using Reader = ReadVerdict (*)(Bytes, MemberSink&, const TextCodec&);

struct FormatEntry {
    ArchiveFormat format;
    std::string_view extension;
    Reader read;
    // Whether a failure to open the file reaches the host rather than giving an empty listing.
    bool openErrorsReachHost;
};

// In the order the extension is looked up.
constexpr std::array formats{
    FormatEntry{ArchiveFormat::Cab, "CAB", ReadCabArchive, true},
    FormatEntry{ArchiveFormat::Zip, "ZIP", ReadZipArchive, false},
    FormatEntry{ArchiveFormat::Arc, "ARC", ReadArcArchive, false},
    FormatEntry{ArchiveFormat::Lzh, "LZH", ReadLzhArchive, false},
    FormatEntry{ArchiveFormat::Arj, "ARJ", ReadArjArchive, false},
    FormatEntry{ArchiveFormat::Rar, "RAR", ReadRarArchive, true},
};

const FormatEntry& entryFor(ArchiveFormat format)
{
    return *std::find_if(formats.begin(), formats.end(), [&](const FormatEntry& entry) { return entry.format == format; });
}

AutomationError openError(const std::error_code& error)
{
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) return errors::permissionDenied();
    return errors::pathFileAccess();
}

} // namespace

std::optional<ArchiveFormat> formatForExtension(std::string_view upperCasedExtension)
{
    for (const FormatEntry& entry : formats)
        if (entry.extension == upperCasedExtension) return entry.format;
    return std::nullopt;
}

std::string_view extensionOf(ArchiveFormat format) { return entryFor(format).extension; }

ReadVerdict readArchiveBytes(ArchiveFormat format, Bytes bytes, MemberSink& sink, const TextCodec& codec)
{
    return entryFor(format).read(bytes, sink, codec);
}

void readArchive(ArchiveFormat format, const std::filesystem::path& path, MemberSink& sink, const TextCodec& codec)
{
    const FormatEntry& entry = entryFor(format);
    sink.beginArchive(entry.extension);
    std::error_code error;
    ReadVerdict verdict = ReadVerdict::Archive;
    {
        const ByteSource file = ByteSource::open(path, error);
        if (error) {
            if (entry.openErrorsReachHost) throw openError(error);
            return;
        }
        verdict = entry.read(file.bytes(), sink, codec);
    }
    if (verdict == ReadVerdict::NotAnArchive) sink.archiveInvalid();
}

} // namespace quenarch
