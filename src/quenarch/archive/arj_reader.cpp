#include "quenarch/archive/arj_reader.h"

#include "quenarch/archive/dos_datetime.h"
#include "quenarch/base/text_case.h"

#include <algorithm>
#include <optional>
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
constexpr std::size_t timeOffset = 12; // a Unix time spans the time and date words
constexpr std::size_t dateOffset = 14;
constexpr std::size_t packedSizeOffset = 16;
constexpr std::size_t unpackedSizeOffset = 20;
constexpr std::size_t crcOffset = 24;

// Headers written on a Unix host carry the modification moment as seconds since 1970.
constexpr std::uint8_t unixHostSystem = 2;

struct Header {
    const std::uint8_t* fields = nullptr; // from the header id on
    std::string_view name;                // up to, not including, its zero byte
    std::string_view comment;
    // Where the packed data start, after the header CRC and the extended headers; nothing when
    // those run past the end of the file.
    std::optional<std::uint64_t> dataStart;
};

std::string_view upToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

// The header at the offset; nothing for the end-of-archive header (basic header size 0), for a
// basic header cut short by the end of the file, and for a fixed part that cannot hold its fields
// or does not fit in the basic header.
std::optional<Header> headerAt(Bytes file, std::uint64_t at)
{
    if (!fits(file, at, basicHeaderOffset)) return std::nullopt;
    const std::uint16_t basicSize = readU16(file.data() + at + 2);
    if (basicSize == 0 || !fits(file, at + basicHeaderOffset, basicSize)) return std::nullopt;
    const std::uint8_t fixedSize = file[at + basicHeaderOffset];
    if (fixedSize < shortestFixedPart || fixedSize > basicSize) return std::nullopt;

    Header header;
    header.fields = file.data() + at;
    std::string_view texts(reinterpret_cast<const char*>(header.fields + basicHeaderOffset + fixedSize), basicSize - fixedSize);
    header.name = upToZero(texts);
    texts.remove_prefix(std::min(header.name.size() + 1, texts.size()));
    header.comment = upToZero(texts);

    // Each extended header is its size, that many bytes and a CRC; a size of 0 ends them.
    std::uint64_t next = at + basicHeaderOffset + basicSize + crcLength;
    for (;;) {
        if (!fits(file, next, sizeFieldLength)) return header;
        const std::uint16_t extendedSize = readU16(file.data() + next);
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

std::string memberName(std::string_view stored, const TextCodec& codec)
{
    const std::string name = toUpper(codec.decode(lastPathPart(stored)));
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

ReadVerdict ReadArjArchive(Bytes file, MemberSink& sink, const TextCodec& codec)
{
    const std::optional<Header> mainHeader = headerAt(file, 0);
    if (!mainHeader) return ReadVerdict::Archive;
    if (!mainHeader->comment.empty()) sink.setComment(codec.decode(mainHeader->comment));

    // The main header has no data: the first local header follows its extended headers. Every
    // step moves past a whole header, so the walk always goes forward.
    std::optional<std::uint64_t> at = mainHeader->dataStart;
    while (at && *at < file.size()) {
        const std::optional<Header> header = headerAt(file, *at);
        if (!header) break;
        const std::uint32_t packedSize = readU32(header->fields + packedSizeOffset);

        SplitName split = splitMemberName(memberName(header->name, codec));
        ArchiveMember member;
        member.baseName = std::move(split.base);
        member.extension = std::move(split.extension);
        member.unpackedSize = readU32(header->fields + unpackedSizeOffset);
        member.packedSize = packedSize;
        setModificationMoment(member, header->fields);
        member.crc = readU32(header->fields + crcOffset);
        addMemberResumingOnError(sink, member);

        if (header->dataStart) at = *header->dataStart + packedSize;
        else at.reset();
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
