#include "quenarch/archive/archive_formats.h"

#include "quenarch/archive/arc_reader.h"
#include "quenarch/archive/arj_reader.h"
#include "quenarch/archive/cab_reader.h"
#include "quenarch/archive/lzh_reader.h"
#include "quenarch/archive/rar_reader.h"
#include "quenarch/archive/zip_reader.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/platform/file_access.h"

#include <algorithm>
#include <array>

namespace quenarch {
namespace {

using Reader = ReadVerdict (*)(ByteSource&, MemberSink&, const NameDecoder&);

struct FormatEntry {
    ArchiveFormat format;
    std::string_view extension;
    Reader read;
    // The code page of the tools that wrote the format: MS-DOS's for ZIP, ARJ and ARC.
    CodePage codePage;
};

// In the order the extension is looked up.
constexpr std::array formats{
    FormatEntry{ArchiveFormat::Cab, "CAB", ReadCabArchive, CodePage::Windows1252},
    FormatEntry{ArchiveFormat::Zip, "ZIP", ReadZipArchive, CodePage::Ibm437},
    FormatEntry{ArchiveFormat::Arc, "ARC", ReadArcArchive, CodePage::Ibm437},
    FormatEntry{ArchiveFormat::Lzh, "LZH", ReadLzhArchive, CodePage::Windows1252},
    FormatEntry{ArchiveFormat::Arj, "ARJ", ReadArjArchive, CodePage::Ibm437},
    FormatEntry{ArchiveFormat::Rar, "RAR", ReadRarArchive, CodePage::Windows1252},
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

ReadVerdict readWith(const FormatEntry& entry, ByteSource& source, MemberSink& sink, const TextCodec* chosenCodec)
{
    return entry.read(source, sink, NameDecoder(entry.codePage, chosenCodec));
}

bool equalsAsciiCaseBlind(std::string_view a, std::string_view b)
{
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return std::ranges::equal(a, b, {}, upper, upper);
}

} // namespace

std::optional<ArchiveFormat> formatForExtension(std::string_view upperCasedExtension)
{
    for (const FormatEntry& entry : formats)
        if (entry.extension == upperCasedExtension) return entry.format;
    return std::nullopt;
}

std::optional<ArchiveFormat> formatForName(std::string_view name)
{
    for (const FormatEntry& entry : formats)
        if (equalsAsciiCaseBlind(entry.extension, name)) return entry.format;
    return std::nullopt;
}

std::string_view extensionOf(ArchiveFormat format) { return entryFor(format).extension; }

void readArchive(ArchiveFormat format, ByteSource& source, MemberSink& sink, const TextCodec* chosenCodec)
{
    const FormatEntry& entry = entryFor(format);
    sink.beginArchive(entry.extension);
    if (readWith(entry, source, sink, chosenCodec) == ReadVerdict::NotAnArchive) sink.archiveInvalid();
}

void readArchive(ArchiveFormat format, const std::filesystem::path& path, MemberSink& sink, const TextCodec* chosenCodec)
{
    const FormatEntry& entry = entryFor(format);
    sink.beginArchive(entry.extension);
    ReadVerdict verdict = ReadVerdict::Archive;
    {
        std::error_code error;
        const std::unique_ptr<RandomAccessFile> file = openRegularFile(path, error);
        if (!file) throw openError(error);
        ByteSource source(*file);
        verdict = readWith(entry, source, sink, chosenCodec);
    }
    // After the file is closed.
    if (verdict == ReadVerdict::NotAnArchive) sink.archiveInvalid();
}

} // namespace quenarch
