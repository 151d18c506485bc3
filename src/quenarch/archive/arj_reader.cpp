#include "quenarch/archive/arj_reader.h"

#include "quenarch/archive/dos_datetime.h"
#include "quenarch/base/text_case.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {
namespace {

// Every header starts with the id 0x60 0xEA and the size of its basic header, which runs from
// the first-header-size byte to the comment's zero byte. The fixed part comes first (its length
// is that byte: 30 in old archives, 34 or 46 from arj on Linux), then the name and the comment.
constexpr std::size_t basicHeaderOffset = 4;
constexpr std::uint8_t shortestFixedPart = 30;
constexpr std::size_t sizeFieldLength = 2;
constexpr std::size_t crcLength = 4;

// Fields of a local header, counted from the header id.
constexpr std::size_t hostSystemOffset = 7;
constexpr std::size_t flagsOffset = 8;
constexpr std::size_t fileTypeOffset = 10;
constexpr std::size_t timeOffset = 12; // a Unix time spans the time and date words
constexpr std::size_t dateOffset = 14;
constexpr std::size_t packedSizeOffset = 16;
constexpr std::size_t unpackedSizeOffset = 20;
constexpr std::size_t crcOffset = 24;
constexpr std::size_t fieldsLength = basicHeaderOffset + shortestFixedPart;

// Headers written on a Unix host carry the modification moment as seconds since 1970.
constexpr std::uint8_t unixHostSystem = 2;
// The name's folders are separated by "/" alone; without this flag "\" separates them too.
constexpr std::uint8_t slashSeparatorsFlag = 0x10;
constexpr std::uint8_t directoryFileType = 3;

struct Header {
    std::array<std::uint8_t, fieldsLength> fields{}; // from the header id on
    std::string name;                                // up to, not including, its zero byte
    std::string comment;
    // Where the packed data start, after the header CRC and the extended headers; nothing when
    // those run past the end of the file.
    std::optional<std::uint64_t> dataStart;
};

std::string_view upToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

// The header at the offset; nothing for the end-of-archive header (basic header size 0), for a
// basic header cut short by the end of the file, and for a fixed part that cannot hold its fields
// or does not fit in the basic header.
std::optional<Header> headerAt(ByteSource& file, std::uint64_t at)
{
    const std::optional<Bytes> start = file.read(at, basicHeaderOffset);
    if (!start) return std::nullopt;
    const std::uint16_t basicSize = readU16(start->data() + 2);
    const std::optional<Bytes> bytes = basicSize == 0 ? std::nullopt : file.read(at, basicHeaderOffset + basicSize);
    if (!bytes) return std::nullopt;
    const std::uint8_t fixedSize = (*bytes)[basicHeaderOffset];
    if (fixedSize < shortestFixedPart || fixedSize > basicSize) return std::nullopt;

    Header header;
    std::copy_n(bytes->begin(), fieldsLength, header.fields.begin());
    std::string_view texts(reinterpret_cast<const char*>(bytes->data() + basicHeaderOffset + fixedSize), basicSize - fixedSize);
    header.name = upToZero(texts);
    texts.remove_prefix(std::min(header.name.size() + 1, texts.size()));
    header.comment = upToZero(texts);

    // Each extended header is its size, that many bytes and a CRC; a size of 0 ends them.
    std::uint64_t next = at + basicHeaderOffset + basicSize + crcLength;
    for (;;) {
        const std::optional<Bytes> size = file.read(next, sizeFieldLength);
        if (!size) return header;
        const std::uint16_t extendedSize = readU16(size->data());
        next += sizeFieldLength;
        if (extendedSize == 0) break;
        next += extendedSize + crcLength;
    }
    header.dataStart = next;
    return header;
}

// The stored name keeps only the text after its last "/": at most 256 bytes before the first
// "/", and at most 255 after each one.
std::string_view lastPathPart(std::string_view stored)
{
    std::size_t start = 0;
    std::size_t budget = 256;
    std::size_t end = 0;
    for (; end < stored.size() && budget > 0; ++end) {
        --budget;
        if (stored[end] == '/') {
            start = end + 1;
            budget = 255;
        }
    }
    return stored.substr(start, end - start);
}

std::string memberName(std::string_view stored, const NameDecoder& names)
{
    const std::string name = toUpper(names.decode(lastPathPart(stored)));
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') + 1 - first);
}

void setModificationMoment(ArchiveMember& member, const std::uint8_t* fields)
{
    if (fields[hostSystemOffset] == unixHostSystem) {
        if (const std::optional<LocalMoment> local = unixTimeToLocal(readU32(fields + timeOffset))) {
            member.date = local->date;
            member.time = local->timeOfDay;
        }
        return;
    }
    member.date = DosDateToDate(readU16(fields + dateOffset));
    member.time = dosTimeOfDay(readU16(fields + timeOffset));
}

} // namespace

ReadVerdict ReadArjArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names)
{
    const std::optional<Header> mainHeader = headerAt(file, 0);
    if (!mainHeader) return ReadVerdict::Archive;
    if (!mainHeader->comment.empty()) sink.setComment(names.decode(mainHeader->comment));

    // The main header has no data: the first local header follows its extended headers. Every
    // step moves past a whole header, so the walk always goes forward.
    std::optional<std::uint64_t> at = mainHeader->dataStart;
    while (at && *at < file.size()) {
        const std::optional<Header> header = headerAt(file, *at);
        if (!header) break;
        const std::uint8_t* fields = header->fields.data();
        const std::uint32_t packedSize = readU32(fields + packedSizeOffset);

        SplitName split = splitMemberName(memberName(header->name, names));
        ArchiveMember member;
        member.baseName = std::move(split.base);
        member.extension = std::move(split.extension);
        member.path = memberPath(names.decode(header->name), !(fields[flagsOffset] & slashSeparatorsFlag));
        member.isDirectory = fields[fileTypeOffset] == directoryFileType;
        member.unpackedSize = readU32(fields + unpackedSizeOffset);
        member.packedSize = packedSize;
        setModificationMoment(member, fields);
        member.crc = readU32(fields + crcOffset);
        addMemberResumingOnError(sink, std::move(member));

        if (header->dataStart) at = *header->dataStart + packedSize;
        else at.reset();
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
