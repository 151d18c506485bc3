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
constexpr std::size_t commonHeaderSize = 22;
constexpr std::size_t methodOffset = 2;
constexpr std::size_t methodLength = 5;
constexpr std::size_t packedSizeOffset = 7;
constexpr std::size_t unpackedSizeOffset = 11;
constexpr std::size_t timeOffset = 15;
constexpr std::size_t dateOffset = 17;
constexpr std::size_t levelOffset = 20;
constexpr std::size_t nameLengthOffset = 21;
constexpr std::size_t nameOffset = 22;
// A level-2 header's fixed part, up to the size of its first extended header.
constexpr std::size_t levelTwoFixedSize = 26;
constexpr std::size_t levelTwoFirstExtensionOffset = 24;

constexpr std::uint8_t fileNameExtension = 0x01;
constexpr std::uint8_t folderNameExtension = 0x02;
constexpr std::uint8_t msDosSystem = 'M';
// The method of folder entries.
constexpr std::string_view directoryMethod = "-lhd-";

struct Header {
    std::string folder; // bytes of the folder-name extended header
    std::string name;   // bytes of the stored name
    bool isDirectory = false;
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
    std::optional<std::string> fileName;
    std::string folder;
    std::uint64_t size = 0;  // bytes of the headers walked
    bool cutShort = false;   // the end of the file came first
};

// Walks a chain of extended headers starting at `at`: each is a type byte, its data and the size
// of the next one (0 ends the chain). A size too small to hold a header, or one that would run
// past `limit` or the end of the file, ends the walk.
ExtendedHeaders walkExtendedHeaders(ByteSource& file, std::uint64_t at, std::uint16_t firstSize, std::uint64_t limit)
{
    ExtendedHeaders found;
    for (std::uint16_t size = firstSize; size != 0;) {
        if (size < 3 || at + size > limit) break;
        const std::optional<Bytes> bytes = file.read(at, size);
        if (!bytes) {
            found.cutShort = true;
            break;
        }
        const std::uint8_t* header = bytes->data();
        const std::string_view data = textAt(header + 1, size - 3u);
        if (header[0] == fileNameExtension) found.fileName = std::string(data);
        if (header[0] == folderNameExtension) found.folder = data;
        at += size;
        found.size += size;
        size = readU16(header + size - 2);
    }
    return found;
}

// The fields that every level keeps in its common part.
void readCommonFields(Header& header, const std::uint8_t* bytes)
{
    header.isDirectory = textAt(bytes + methodOffset, methodLength) == directoryMethod;
    header.packedSize = readU32(bytes + packedSizeOffset);
    header.unpackedSize = readU32(bytes + unpackedSizeOffset);
}

void setDosMoment(Header& header, const std::uint8_t* bytes)
{
    header.date = DosDateToDate(readU16(bytes + dateOffset));
    header.time = dosTimeOfDay(readU16(bytes + timeOffset));
}

// Reads the headerSize bytes of a level-0 or level-1 header at `at`, and from them the name and
// the fields both levels keep in the same places.
std::optional<Bytes> readEarlyLevelHeader(ByteSource& file, std::uint64_t at, std::size_t headerSize, std::uint8_t nameLength, Header& header)
{
    const std::optional<Bytes> bytes = file.read(at, headerSize);
    if (!bytes) return std::nullopt;
    header.name = textAt(bytes->data() + nameOffset, nameLength);
    readCommonFields(header, bytes->data());
    setDosMoment(header, bytes->data());
    return bytes;
}

// Level 0, and any level this reader does not know: the name follows the name length, the
// member's CRC-16 follows the name. Some tools put an area of their own after the CRC; the
// header-size byte, which counts from the method id on, covers it.
std::optional<Header> readLevelZero(ByteSource& file, std::uint64_t at, Bytes common)
{
    const std::uint8_t nameLength = common[nameLengthOffset];
    const std::size_t headerSize = std::max<std::size_t>(nameOffset + nameLength + 2u, 2u + common[0]);
    Header header;
    const std::optional<Bytes> bytes = readEarlyLevelHeader(file, at, headerSize, nameLength, header);
    if (!bytes) return std::nullopt;
    header.next = at + headerSize + header.packedSize;
    return header;
}

// Level 1: after the CRC-16 come the operating system id and the size of the first extended
// header. The compressed size counts the extended headers together with the packed data.
std::optional<Header> readLevelOne(ByteSource& file, std::uint64_t at, Bytes common)
{
    const std::uint8_t nameLength = common[nameLengthOffset];
    const std::size_t systemOffset = nameOffset + nameLength + 2u;
    // Old tools may put bytes of their own between the system id and the extended-header size;
    // the header-size byte counts them.
    const std::size_t headerSize = std::max<std::size_t>(systemOffset + 3u, 2u + common[0]);
    Header header;
    const std::optional<Bytes> bytes = readEarlyLevelHeader(file, at, headerSize, nameLength, header);
    if (!bytes) return std::nullopt;
    const std::uint16_t firstExtendedSize = readU16(bytes->data() + headerSize - 2);
    // MS-DOS level-1 headers of -lh0-, -lh4- and -lh5- whose first extended header is 5 bytes
    // long or absent keep the packed size they have always been listed with here: the
    // compressed-size field, extended header included. Every other level-1 header shows the size
    // of its packed data alone, as other LHA tools do.
    const std::string_view method = textAt(bytes->data() + methodOffset, methodLength);
    const bool classicMsDosHeader = (*bytes)[systemOffset] == msDosSystem && (firstExtendedSize == 5 || firstExtendedSize == 0) &&
                                    std::string_view("-lh4-lh5-lh0-").find(method) != std::string_view::npos;

    const std::uint64_t compressedSize = header.packedSize;
    const std::uint64_t extensionsStart = at + headerSize;
    ExtendedHeaders extended = walkExtendedHeaders(file, extensionsStart, firstExtendedSize, extensionsStart + compressedSize);
    if (extended.cutShort) return std::nullopt;
    header.folder = std::move(extended.folder);
    if (extended.fileName) header.name = std::move(*extended.fileName);
    if (!classicMsDosHeader) header.packedSize = compressedSize - extended.size;
    header.next = extensionsStart + compressedSize;
    return header;
}

// Level 2: a two-byte total header size, a Unix time, and the names in extended headers only.
// The packed data start where the total header size says, after any padding byte.
std::optional<Header> readLevelTwo(ByteSource& file, std::uint64_t at, Bytes common)
{
    const std::uint16_t headerSize = readU16(common.data());
    if (headerSize < levelTwoFixedSize) return std::nullopt;
    const std::optional<Bytes> bytes = file.read(at, headerSize);
    if (!bytes) return std::nullopt;
    Header header;
    readCommonFields(header, bytes->data());
    if (const std::optional<LocalMoment> moment = unixTimeToLocal(readU32(bytes->data() + timeOffset))) {
        header.date = moment->date;
        header.time = moment->timeOfDay;
    }
    const std::uint16_t firstExtendedSize = readU16(bytes->data() + levelTwoFirstExtensionOffset);
    ExtendedHeaders extended = walkExtendedHeaders(file, at + levelTwoFixedSize, firstExtendedSize, at + headerSize);
    header.folder = std::move(extended.folder);
    header.name = std::move(extended.fileName).value_or(std::string{});
    header.next = at + headerSize + header.packedSize;
    return header;
}

bool isSeparator(char c) { return c == '\\' || c == '/' || c == '\xFF'; }

// The member's path, its parts joined by "\" whatever the archive used: 0xFF in extended
// headers, "/" from Unix tools. Decoded as one text, so that the codec judges the whole name.
std::string joinedPath(std::string_view folder, std::string_view name, const NameDecoder& names)
{
    std::string bytes(folder);
    if (!bytes.empty() && !isSeparator(bytes.back())) bytes.push_back('\\');
    bytes += name;
    std::replace_if(bytes.begin(), bytes.end(), isSeparator, '\\');
    return names.decode(bytes);
}

} // namespace

ReadVerdict ReadLzhArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names)
{
    std::uint64_t at = 0;
    for (std::size_t listed = 0; listed < maximumMembers; ++listed) {
        // A header-size byte of 0 ends the archive.
        const std::optional<Bytes> common = file.read(at, commonHeaderSize);
        if (!common || (*common)[0] == 0) break;
        std::optional<Header> header;
        switch ((*common)[levelOffset]) {
        case 1: header = readLevelOne(file, at, *common); break;
        case 2: header = readLevelTwo(file, at, *common); break;
        default: header = readLevelZero(file, at, *common); break;
        }
        if (!header) break;

        // The path stays in the row's name, and a member is listed even when its base is empty.
        std::string path = joinedPath(header->folder, header->name, names);
        SplitName split = splitMemberName(path);
        // The member's CRC-16 is not shown: the CRC text is always "0".
        ArchiveMember member{.baseName = std::move(split.base),
                                   .extension = std::move(split.extension),
                                   .path = memberPath(std::move(path), true),
                                   .isDirectory = header->isDirectory,
                                   .unpackedSize = header->unpackedSize,
                                   .packedSize = header->packedSize,
                                   .date = header->date,
                                   .time = header->time,
                                   .crc = 0};
        addMemberResumingOnError(sink, std::move(member));
        at = header->next;
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
