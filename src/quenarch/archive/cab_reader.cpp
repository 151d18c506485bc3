#include "quenarch/archive/cab_reader.h"

#include "quenarch/archive/dos_datetime.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace quenarch {
namespace {

constexpr std::uint32_t cabinetSignature = 0x4643534D; // "MSCF"
constexpr std::uint64_t cabinetHeaderSize = 36;
constexpr std::size_t firstEntryOffset = 16;
constexpr std::size_t fileCountOffset = 28;

// A file entry's fixed part; its name follows, ending in a zero byte.
constexpr std::uint64_t fileEntrySize = 16;
constexpr std::size_t unpackedSizeOffset = 0;
constexpr std::size_t dateOffset = 10;
constexpr std::size_t timeOffset = 12;
constexpr std::size_t attributesOffset = 14;
constexpr std::uint16_t nameIsUtf8 = 0x80;


} // namespace

ReadVerdict ReadCabArchive(Bytes file, MemberSink& sink, const TextCodec& codec)
{
    if (!fits(file, 0, 4) || readU32(file.data()) != cabinetSignature) return ReadVerdict::NotAnArchive;
    if (!fits(file, 0, cabinetHeaderSize)) return ReadVerdict::Archive;

    // The first file entry's offset passes over the reserved areas, the names of the neighbouring
    // cabinets and the folder entries.
    std::uint64_t at = readU32(file.data() + firstEntryOffset);
    const std::uint16_t fileCount = readU16(file.data() + fileCountOffset);
    for (std::uint16_t entry = 0; entry < fileCount; ++entry) {
        if (!fits(file, at, fileEntrySize)) break;
        const std::uint8_t* fields = file.data() + at;
        const std::uint64_t nameStart = at + fileEntrySize;
        const auto nameEnd = std::find(file.begin() + static_cast<std::ptrdiff_t>(nameStart), file.end(), 0);
        // A name that the end of the file cuts short gives no row.
        if (nameEnd == file.end()) break;
        const std::string_view storedName(reinterpret_cast<const char*>(file.data() + nameStart),
                                          static_cast<std::size_t>(nameEnd - file.begin()) - nameStart);
        std::string name = (readU16(fields + attributesOffset) & nameIsUtf8) != 0 ? decodeMarkedUtf8(storedName, codec) : codec.decode(storedName);
        if (const std::size_t backslash = name.rfind('\\'); backslash != std::string::npos) name.erase(0, backslash + 1);

        SplitName split = splitMemberName(name);
        if (split.base.find_first_not_of(' ') != std::string::npos) {
            // File entries carry neither a packed size nor a CRC.
            const ArchiveMember member{.baseName = std::move(split.base),
                                       .extension = std::move(split.extension),
                                       .unpackedSize = readU32(fields + unpackedSizeOffset),
                                       .packedSize = 0,
                                       .date = DosDateToDate(readU16(fields + dateOffset)),
                                       .time = dosTimeOfDay(readU16(fields + timeOffset)),
                                       .crc = 0};
            sink.addMember(member);
        }
        at = nameStart + storedName.size() + 1;
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
