#include "archive/archive_formats.h"

#include "archive/byte_source.h"
#include "archive/zip_reader.h"
#include "platform/automation_error.h"

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

constexpr std::array formats{
    FormatEntry{ArchiveFormat::Zip, "ZIP", ReadZipArchive, false},
};

const FormatEntry* entryFor(ArchiveFormat format)
{
    for (const FormatEntry& entry : formats)
        if (entry.format == format) return &entry;
    return nullptr;
}

AutomationError openError(const std::error_code& error)
{
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) return errors::permissionDenied();
    return errors::pathFileAccess();
}

} // namespace

std::optional<ArchiveFormat> formatForExtension(std::string_view upperCasedExtension)
{
    static constexpr std::array order{ArchiveFormat::Cab, ArchiveFormat::Zip, ArchiveFormat::Arc,
                                      ArchiveFormat::Lzh, ArchiveFormat::Arj, ArchiveFormat::Rar};
    for (const ArchiveFormat format : order)
        if (entryFor(format) != nullptr && extensionOf(format) == upperCasedExtension) return format;
    return std::nullopt;
}

std::string_view extensionOf(ArchiveFormat format)
{
    switch (format) {
    case ArchiveFormat::Cab: return "CAB";
    case ArchiveFormat::Zip: return "ZIP";
    case ArchiveFormat::Arc: return "ARC";
    case ArchiveFormat::Lzh: return "LZH";
    case ArchiveFormat::Arj: return "ARJ";
    case ArchiveFormat::Rar: return "RAR";
    }
    return {};
}

ReadVerdict readArchiveBytes(ArchiveFormat format, Bytes bytes, MemberSink& sink, const TextCodec& codec)
{
    return entryFor(format)->read(bytes, sink, codec);
}

void readArchive(ArchiveFormat format, const std::filesystem::path& path, MemberSink& sink, const TextCodec& codec)
{
    const FormatEntry* entry = entryFor(format);
    sink.beginArchive(entry->extension);
    std::error_code error;
    ReadVerdict verdict = ReadVerdict::Archive;
    {
        const ByteSource file = ByteSource::open(path, error);
        if (error) {
            if (entry->openErrorsReachHost) throw openError(error);
            return;
        }
        verdict = entry->read(file.bytes(), sink, codec);
    }
    if (verdict == ReadVerdict::NotAnArchive) sink.archiveInvalid();
}

} // namespace quenarch
