#include "quenarch/archive/cab_reader.h"

#include "quenarch/archive/dos_datetime.h"

#include <optional>
#include <string>
#include <string_view>

namespace quenarch {
namespace {

constexpr std::uint32_t cabinetSignature = 0x4643534D; // "MSCF"
constexpr std::size_t cabinetHeaderSize = 36;
constexpr std::size_t firstEntryOffset = 16;
constexpr std::size_t fileCountOffset = 28;

// A file entry's fixed part; its name follows, ending in a zero byte.
constexpr std::size_t fileEntrySize = 16;
constexpr std::size_t unpackedSizeOffset = 0;
constexpr std::size_t dateOffset = 10;
constexpr std::size_t timeOffset = 12;
constexpr std::size_t attributesOffset = 14;
constexpr std::uint16_t nameIsUtf8 = 0x80;
// Names end in a zero byte within this many bytes (the format allows 256); a longer one is taken
// for damage and ends the walk.
constexpr std::size_t longestName = 65535;

} // namespace

ReadVerdict ReadCabArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names)
{
    const std::optional<Bytes> signature = file.read(0, 4);
    if (!signature || readU32(signature->data()) != cabinetSignature) return ReadVerdict::NotAnArchive;
    const std::optional<Bytes> header = file.read(0, cabinetHeaderSize);
    if (!header) return ReadVerdict::Archive;

    // The first file entry's offset passes over the reserved areas, the names of the neighbouring
    // cabinets and the folder entries.
    std::uint64_t at = readU32(header->data() + firstEntryOffset);
    const std::uint16_t fileCount = readU16(header->data() + fileCountOffset);
    for (std::uint16_t entry = 0; entry < fileCount; ++entry) {
        const std::optional<Bytes> bytes = file.readUpTo(at, fileEntrySize + longestName + 1);
        if (!bytes || bytes->size() < fileEntrySize) break;
        const std::uint8_t* fields = bytes->data();
        const std::string_view rest(reinterpret_cast<const char*>(fields + fileEntrySize), bytes->size() - fileEntrySize);
        // A name that the end of the file cuts short gives no row.
        const std::size_t nameLength = rest.find('\0');
        if (nameLength == std::string_view::npos) break;
        const std::string_view storedName = rest.substr(0, nameLength);
        std::string path = (readU16(fields + attributesOffset) & nameIsUtf8) != 0 ? names.decodeMarkedUtf8(storedName) : names.decode(storedName);
        // The row shows the name after its last folder.
        const std::size_t backslash = path.rfind('\\');
        SplitName split = splitMemberName(backslash == std::string::npos ? path : path.substr(backslash + 1));
        if (split.base.find_first_not_of(' ') != std::string::npos) {
            // File entries carry neither a packed size nor a CRC, and cabinets hold no folders.
            ArchiveMember member{.baseName = std::move(split.base),
                                       .extension = std::move(split.extension),
                                       .path = memberPath(std::move(path), true),
                                       .unpackedSize = readU32(fields + unpackedSizeOffset),
                                       .packedSize = 0,
                                       .date = DosDateToDate(readU16(fields + dateOffset)),
                                       .time = dosTimeOfDay(readU16(fields + timeOffset)),
                                       .crc = 0};
            sink.addMember(std::move(member));
        }
        at += fileEntrySize + nameLength + 1;
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
