#include "quenarch/archive/arc_reader.h"

#include "quenarch/archive/dos_datetime.h"

#include <optional>
#include <string>
#include <string_view>

namespace quenarch {
namespace {

// Every header starts with the marker byte and the method byte; method 0 (or 128 and above)
// marks the end of the archive.
constexpr std::uint8_t headerMarker = 0x1A;
constexpr std::uint8_t firstEndMethod = 0x80;
constexpr std::size_t markerAndMethodLength = 2;

// Method 1, the oldest way of storing, has no unpacked-size field: its header ends 4 bytes
// earlier, and the member is stored as it is (arc and lsar read it so).
constexpr std::uint8_t oldStoredMethod = 1;
constexpr std::size_t headerLength = 29;
constexpr std::size_t oldStoredHeaderLength = 25;

constexpr std::size_t nameOffset = 2;
constexpr std::size_t nameFieldLength = 13;
constexpr std::size_t packedSizeOffset = 15;
constexpr std::size_t dateOffset = 19;
constexpr std::size_t timeOffset = 21;
constexpr std::size_t crcOffset = 23;
constexpr std::size_t unpackedSizeOffset = 25;

constexpr int memberLimit = 32767;

} // namespace

ReadVerdict ReadArcArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names)
{
    std::uint64_t at = 0;
    for (int count = 0; count < memberLimit && at < file.size(); ++count) {
        const std::uint64_t remaining = file.size() - at;
        // After a member, fewer bytes than a marker and a method hold no further header; the
        // first byte of the file is judged whatever follows it.
        if (count > 0 && remaining < markerAndMethodLength) break;
        const std::optional<Bytes> marker = file.read(at, 1);
        if (!marker) break;
        if ((*marker)[0] != headerMarker) return ReadVerdict::NotAnArchive;
        const std::optional<Bytes> start = file.read(at, markerAndMethodLength);
        if (!start) break;
        const std::uint8_t method = (*start)[1];
        if (method == 0 || method >= firstEndMethod) break;
        const std::size_t length = method == oldStoredMethod ? oldStoredHeaderLength : headerLength;
        const std::optional<Bytes> bytes = file.read(at, length);
        if (!bytes) break;
        const std::uint8_t* header = bytes->data();

        // Names are MS-DOS file names: no folders, and nothing marks a directory.
        const std::string_view nameField(reinterpret_cast<const char*>(header + nameOffset), nameFieldLength);
        std::string name = names.decode(nameField.substr(0, nameField.find('\0')));
        const std::uint32_t packedSize = readU32(header + packedSizeOffset);
        ArchiveMember member;
        member.path = name;
        SplitName split = splitMemberName(std::move(name));
        member.baseName = std::move(split.base);
        member.extension = std::move(split.extension);
        member.unpackedSize = method == oldStoredMethod ? packedSize : readU32(header + unpackedSizeOffset);
        member.packedSize = packedSize;
        member.date = DosDateToDate(readU16(header + dateOffset));
        member.time = dosTimeOfDay(readU16(header + timeOffset));
        member.crc = readU16(header + crcOffset);
        addMemberResumingOnError(sink, std::move(member));

        at += length + std::uint64_t{packedSize};
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
