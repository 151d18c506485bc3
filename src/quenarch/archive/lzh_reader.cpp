#include "quenarch/archive/lzh_reader.h"

#include "quenarch/archive/dos_datetime.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {
namespace {

constexpr std::size_t maximumMembers = 10000;

// Every header level starts with these 22 bytes: sizes, method id, packed and unpacked size,
// time, attribute, level, and (levels 0 and 1) the name length.
constexpr std::uint64_t commonHeaderSize = 22;
constexpr std::size_t packedSizeOffset = 7;
constexpr std::size_t unpackedSizeOffset = 11;
constexpr std::size_t timeOffset = 15;
constexpr std::size_t dateOffset = 17;
constexpr std::size_t levelOffset = 20;
constexpr std::size_t nameLengthOffset = 21;
constexpr std::size_t nameOffset = 22;
// A level-2 header's fixed part, up to the size of its first extended header.
constexpr std::uint64_t levelTwoFixedSize = 26;

constexpr std::uint8_t fileNameExtension = 0x01;
constexpr std::uint8_t folderNameExtension = 0x02;
constexpr std::uint8_t msDosSystem = 'M';

struct Header {
    std::string_view folder; // bytes of the folder-name extended header
    std::string_view name;   // bytes of the stored name
    std::uint64_t packedSize = 0;
    std::uint64_t unpackedSize = 0;
    std::optional<AutomationDate> date;
    std::optional<double> time;
    std::uint64_t next = 0; // where the next header starts
};

std::string_view textAt(const std::uint8_t* bytes, std::size_t length)
{
    return {reinterpret_cast<const char*>(bytes), length};
}

struct ExtendedHeaders {
    std::optional<std::string_view> fileName;
    std::string_view folder;
    std::uint64_t size = 0;  // bytes of the headers walked
    bool cutShort = false;   // the end of the file came first
};

// Walks a chain of extended headers starting at `at`: each is a type byte, its data and the size
// of the next one (0 ends the chain). A size too small to hold a header, or one that would run
// past `limit` or the end of the file, ends the walk.
ExtendedHeaders walkExtendedHeaders(Bytes file, std::uint64_t at, std::uint16_t firstSize, std::uint64_t limit)
{
    ExtendedHeaders found;
    for (std::uint16_t size = firstSize; size != 0;) {
        if (size < 3 || at + size > limit) break;
        if (!fits(file, at, size)) {
            found.cutShort = true;
            break;
        }
        const std::uint8_t* header = file.data() + at;
        const std::string_view data = textAt(header + 1, size - 3u);
        if (header[0] == fileNameExtension) found.fileName = data;
        if (header[0] == folderNameExtension) found.folder = data;
        at += size;
        found.size += size;
        size = readU16(header + size - 2);
    }
    return found;
}

void setDosMoment(Header& header, const std::uint8_t* bytes)
{
    header.date = DosDateToDate(readU16(bytes + dateOffset));
    header.time = dosTimeOfDay(readU16(bytes + timeOffset));
}

// Level 0, and any level this reader does not know: the name follows the name length, the
// member's CRC-16 follows the name. Some tools put an area of their own after the CRC; the
// header-size byte, which counts from the method id on, covers it.
std::optional<Header> readLevelZero(Bytes file, std::uint64_t at)
{
    const std::uint8_t* bytes = file.data() + at;
    const std::uint8_t nameLength = bytes[nameLengthOffset];
    const std::uint64_t headerSize = std::max<std::uint64_t>(nameOffset + nameLength + 2u, 2u + bytes[0]);
    if (!fits(file, at, headerSize)) return std::nullopt;
    Header header;
    header.name = textAt(bytes + nameOffset, nameLength);
    header.packedSize = readU32(bytes + packedSizeOffset);
    header.unpackedSize = readU32(bytes + unpackedSizeOffset);
    setDosMoment(header, bytes);
    header.next = at + headerSize + header.packedSize;
    return header;
}

// Level 1: after the CRC-16 come the operating system id and the size of the first extended
// header. The compressed size counts the extended headers together with the packed data.
std::optional<Header> readLevelOne(Bytes file, std::uint64_t at)
{
    const std::uint8_t* bytes = file.data() + at;
    const std::uint8_t nameLength = bytes[nameLengthOffset];
    const std::uint64_t systemOffset = nameOffset + nameLength + 2u;
    // Old tools may put bytes of their own between the system id and the extended-header size;
    // the header-size byte counts them.
    const std::uint64_t headerSize = std::max<std::uint64_t>(systemOffset + 3u, 2u + bytes[0]);
    if (!fits(file, at, headerSize)) return std::nullopt;
    const std::uint16_t firstExtendedSize = readU16(bytes + headerSize - 2);
    const std::uint64_t compressedSize = readU32(bytes + packedSizeOffset);
    const std::uint64_t extensionsStart = at + headerSize;
    const ExtendedHeaders extended = walkExtendedHeaders(file, extensionsStart, firstExtendedSize, extensionsStart + compressedSize);
    if (extended.cutShort) return std::nullopt;

    Header header;
    header.folder = extended.folder;
    header.name = extended.fileName.value_or(textAt(bytes + nameOffset, nameLength));
    // MS-DOS level-1 headers of -lh0-, -lh4- and -lh5- whose first extended header is 5 bytes
    // long or absent keep the packed size they have always been listed with here: the
    // compressed-size field, extended header included. Every other level-1 header shows the size
    // of its packed data alone, as other LHA tools do.
    const std::string_view method = textAt(bytes + 2, 5);
    const bool classicMsDosHeader = bytes[systemOffset] == msDosSystem && (firstExtendedSize == 5 || firstExtendedSize == 0) &&
                                    std::string_view("-lh4-lh5-lh0-").find(method) != std::string_view::npos;
    header.packedSize = classicMsDosHeader ? compressedSize : compressedSize - extended.size;
    header.unpackedSize = readU32(bytes + unpackedSizeOffset);
    setDosMoment(header, bytes);
    header.next = extensionsStart + compressedSize;
    return header;
}

// Level 2: a two-byte total header size, a Unix time, and the names in extended headers only.
// The packed data start where the total header size says, after any padding byte.
std::optional<Header> readLevelTwo(Bytes file, std::uint64_t at)
{
    const std::uint8_t* bytes = file.data() + at;
    const std::uint16_t headerSize = readU16(bytes);
    if (headerSize < levelTwoFixedSize || !fits(file, at, headerSize)) return std::nullopt;
    const ExtendedHeaders extended = walkExtendedHeaders(file, at + levelTwoFixedSize, readU16(bytes + 24), at + headerSize);

    Header header;
    header.folder = extended.folder;
    header.name = extended.fileName.value_or(std::string_view{});
    header.packedSize = readU32(bytes + packedSizeOffset);
    header.unpackedSize = readU32(bytes + unpackedSizeOffset);
    if (const std::optional<LocalMoment> moment = unixTimeToLocal(readU32(bytes + timeOffset))) {
        header.date = moment->date;
        header.time = moment->timeOfDay;
    }
    header.next = at + headerSize + header.packedSize;
    return header;
}

bool isSeparator(char c) { return c == '\\' || c == '/' || c == '\xFF'; }

// The member's path, its parts joined by "\" whatever the archive used: 0xFF in extended
// headers, "/" from Unix tools. Decoded as one text, so that the codec judges the whole name.
std::string memberPath(std::string_view folder, std::string_view name, const TextCodec& codec)
{
    std::string bytes(folder);
    if (!bytes.empty() && !isSeparator(bytes.back())) bytes.push_back('\\');
    bytes += name;
    std::replace_if(bytes.begin(), bytes.end(), isSeparator, '\\');
    return codec.decode(bytes);
}

} // namespace

ReadVerdict ReadLzhArchive(Bytes file, MemberSink& sink, const TextCodec& codec)
{
    std::uint64_t at = 0;
    for (std::size_t listed = 0; listed < maximumMembers; ++listed) {
        // A header-size byte of 0 ends the archive.
        if (!fits(file, at, commonHeaderSize) || file[at] == 0) break;
        std::optional<Header> header;
        switch (file[at + levelOffset]) {
        case 1: header = readLevelOne(file, at); break;
        case 2: header = readLevelTwo(file, at); break;
        default: header = readLevelZero(file, at); break;
        }
        if (!header) break;

        // The path stays in the name, and a member is listed even when its base name is empty.
        SplitName split = splitMemberName(memberPath(header->folder, header->name, codec));
        // The member's CRC-16 is not shown: the CRC text is always "0".
        const ArchiveMember member{.baseName = std::move(split.base),
                                   .extension = std::move(split.extension),
                                   .unpackedSize = header->unpackedSize,
                                   .packedSize = header->packedSize,
                                   .date = header->date,
                                   .time = header->time,
                                   .crc = 0};
        addMemberResumingOnError(sink, member);
        at = header->next;
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
