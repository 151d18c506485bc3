#include "quenarch/archive/rar_reader.h"

#include "quenarch/archive/dos_datetime.h"
#include "quenarch/archive/rar5_blocks.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/base/utf8.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {
namespace {

constexpr std::uint8_t rarMarker[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
// Where a RAR5 signature differs from the marker: its seventh byte is 1, and a zero follows.
constexpr std::size_t versionByteOffset = 6;
constexpr std::uint8_t rar5SignatureByte = 0x01;

constexpr std::uint8_t mainHeaderType = 0x73;
constexpr std::uint8_t fileHeaderType = 0x74;
constexpr std::uint8_t oldCommentType = 0x75;
constexpr std::uint8_t serviceHeaderType = 0x7A;
// The blocks stepped over run from the old comment block to the service header: authenticity
// data, old sub-blocks, recovery records and signatures lie between.
constexpr std::uint8_t firstSteppedType = oldCommentType;
constexpr std::uint8_t lastSteppedType = serviceHeaderType;

// Every block starts with its header CRC, its type, its flags and its header size.
constexpr std::size_t blockHeaderSize = 7;
constexpr std::size_t blockTypeOffset = 2;
constexpr std::size_t blockFlagsOffset = 3;
constexpr std::size_t blockSizeOffset = 5;
// A long block (flag 0x8000) carries the size of the data after its header.
constexpr std::size_t longBlockHeaderSize = 11;
constexpr std::size_t longBlockDataSizeOffset = 7;

constexpr std::size_t mainHeaderSize = 13;

// File header fields, counted from the start of the block.
constexpr std::size_t packedSizeOffset = 7;
constexpr std::size_t unpackedSizeOffset = 11;
constexpr std::size_t hostSystemOffset = 15;
constexpr std::size_t crcOffset = 16;
constexpr std::size_t timeOffset = 20;
constexpr std::size_t dateOffset = 22;
constexpr std::size_t nameSizeOffset = 26;
constexpr std::size_t attributesOffset = 28;
constexpr std::size_t nameOffset = 32;
// Large files keep the high halves of both sizes before the name.
constexpr std::size_t highPackedSizeOffset = 32;
constexpr std::size_t highUnpackedSizeOffset = 36;
constexpr std::size_t largeFileNameOffset = 40;

constexpr std::uint16_t headersEncryptedFlag = 0x0080; // main header
constexpr std::uint16_t largeFileFlag = 0x0100;
constexpr std::uint16_t unicodeNameFlag = 0x0200;
constexpr std::uint16_t longBlockFlag = 0x8000;
// The dictionary-size bits of a file header all set mark a directory.
constexpr std::uint16_t dictionaryBits = 0x00E0;

// Attributes: MS-DOS, OS/2 and Windows hosts keep DOS attributes, Unix hosts a file mode.
constexpr std::uint8_t unixHost = 3;
constexpr std::uint32_t dosDirectoryAttribute = 0x10;
constexpr std::uint32_t unixFileTypeMask = 0xF000;
constexpr std::uint32_t unixDirectoryType = 0x4000;

std::string_view asText(Bytes bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

enum class RarMarker { None, Rar15, Rar5 };

RarMarker CheckRarMarker(ByteSource& file)
{
    const std::optional<Bytes> start = file.readUpTo(0, rar5SignatureSize);
    if (!start || start->size() < sizeof rarMarker || !std::equal(rarMarker, rarMarker + versionByteOffset, start->begin())) return RarMarker::None;
    const std::uint8_t version = (*start)[versionByteOffset];
    if (version == rarMarker[versionByteOffset]) return RarMarker::Rar15;
    if (version == rar5SignatureByte && start->size() == rar5SignatureSize && start->back() == 0x00) return RarMarker::Rar5;
    return RarMarker::None;
}

struct MainHeader {
    std::uint64_t firstBlock = 0;
    bool headersEncrypted = false;
};

// The main header right after the marker. A header longer than 13 bytes holds the archive
// comment; nothing when the file is not a RAR archive after all.
std::optional<MainHeader> ReadRarMainHeader(ByteSource& file, MemberSink& sink)
{
    constexpr std::size_t at = sizeof rarMarker;
    const std::optional<Bytes> header = file.read(at, mainHeaderSize);
    if (!header || (*header)[blockTypeOffset] != mainHeaderType) return std::nullopt;
    const std::uint16_t flags = readU16(header->data() + blockFlagsOffset);
    const std::uint16_t size = readU16(header->data() + blockSizeOffset);
    // The size is a signed 16-bit number: from 0x8000 on it overflows and the file is rejected.
    if (size > std::numeric_limits<std::int16_t>::max()) return std::nullopt;
    MainHeader main{at + mainHeaderSize, (flags & headersEncryptedFlag) != 0};
    if (size > mainHeaderSize) {
        sink.setComment("Present");
        if (!file.fits(at, size)) return std::nullopt;
        main.firstBlock = at + size;
    }
    return main;
}

// UTF-16 as UTF-8, up to the first zero (the name ends there); unpaired surrogates become U+FFFD.
std::string utf8FromUtf16(std::u16string_view units)
{
    std::string text;
    for (std::size_t i = 0; i < units.size() && units[i] != 0; ++i) {
        char32_t c = units[i];
        const bool leads = c >= 0xD800 && c < 0xDC00;
        if (leads && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        appendUtf8(text, c);
    }
    return text;
}

// Unpacks the UTF-16 name stored after the code-page name. It opens with the high byte that many
// characters share; then each byte holds four two-bit operations, top bits first, that take
// their operands from the bytes after it:
//   0: one byte, a character below 0x100;
//   1: one byte, the low byte of a character under the shared high byte;
//   2: two bytes, a whole character, low byte first;
//   3: a count byte N. Below 0x80 the next N + 2 characters are the code-page bytes at the same
//      positions; from 0x80 a correction byte follows, and the next (N & 0x7F) + 2 characters
//      are those bytes plus the correction, under the shared high byte.
// Unpacking stops where an operand or a code-page byte is missing.
std::u16string unpackUnicodeName(Bytes codePageName, Bytes packed)
{
    std::u16string units;
    if (packed.empty()) return units;
    std::size_t at = 0;
    const auto next = [&]() -> std::optional<std::uint8_t> {
        if (at == packed.size()) return std::nullopt;
        return packed[at++];
    };
    const auto highByte = static_cast<char16_t>(packed[at++] << 8);
    std::uint8_t operations = 0;
    int operationsLeft = 0;
    while (at < packed.size()) {
        if (operationsLeft == 0) {
            operations = packed[at++];
            operationsLeft = 4;
        }
        const int operation = operations >> 6;
        operations = static_cast<std::uint8_t>(operations << 2);
        --operationsLeft;
        if (operation == 0 || operation == 1) {
            const std::optional<std::uint8_t> low = next();
            if (!low) break;
            units.push_back(static_cast<char16_t>((operation == 1 ? highByte : 0) | *low));
        } else if (operation == 2) {
            const std::optional<std::uint8_t> low = next();
            const std::optional<std::uint8_t> high = next();
            if (!low || !high) break;
            units.push_back(static_cast<char16_t>(*high << 8 | *low));
        } else {
            const std::optional<std::uint8_t> count = next();
            const std::optional<std::uint8_t> correction = count && (*count & 0x80) ? next() : std::uint8_t{0};
            if (!count || !correction) break;
            for (int left = (*count & 0x7F) + 2; left > 0; --left) {
                if (units.size() >= codePageName.size()) return units;
                const std::uint8_t byte = codePageName[units.size()];
                units.push_back(*count & 0x80 ? static_cast<char16_t>(highByte | static_cast<std::uint8_t>(byte + *correction)) : byte);
            }
        }
    }
    return units;
}

// A name flagged Unicode holds the name in the archiver's code page, a zero byte, and the packed
// UTF-16 name; a name without the zero byte is UTF-8 as a whole.
std::string decodeUnicodeName(Bytes field, const NameDecoder& names)
{
    const auto zero = std::find(field.begin(), field.end(), std::uint8_t{0});
    if (zero == field.end()) return decodeUtf8Lossy(asText(field));
    const Bytes codePageName = field.first(static_cast<std::size_t>(zero - field.begin()));
    std::string name = utf8FromUtf16(unpackUnicodeName(codePageName, field.subspan(codePageName.size() + 1)));
    return name.empty() ? names.decode(asText(codePageName)) : name;
}

// The name field of a file or service header, when the header holds it whole.
std::optional<Bytes> storedName(Bytes header)
{
    const std::size_t offset = (readU16(header.data() + blockFlagsOffset) & largeFileFlag) ? largeFileNameOffset : nameOffset;
    if (header.size() < offset) return std::nullopt;
    const std::uint16_t nameSize = readU16(header.data() + nameSizeOffset);
    if (header.size() - offset < nameSize) return std::nullopt;
    return header.subspan(offset, nameSize);
}

// Adds the member of a file header (all of its header bytes) and gives the size of the packed
// data that follow; nothing when the header is damaged or the sink refused the member, either of
// which ends the walk.
std::optional<std::uint64_t> ReadRarFileHeader(Bytes header, MemberSink& sink, const NameDecoder& names)
{
    const std::optional<Bytes> name = storedName(header);
    if (!name) return std::nullopt;
    const std::uint8_t* fields = header.data();
    const std::uint16_t flags = readU16(fields + blockFlagsOffset);
    std::uint64_t packedSize = readU32(fields + packedSizeOffset);
    std::uint64_t unpackedSize = readU32(fields + unpackedSizeOffset);
    if (flags & largeFileFlag) {
        packedSize |= std::uint64_t{readU32(fields + highPackedSizeOffset)} << 32;
        unpackedSize |= std::uint64_t{readU32(fields + highUnpackedSizeOffset)} << 32;
    }
    const std::uint32_t attributes = readU32(fields + attributesOffset);
    const bool directoryAttributes = fields[hostSystemOffset] == unixHost ? (attributes & unixFileTypeMask) == unixDirectoryType
                                                                          : (attributes & dosDirectoryAttribute) != 0;
    // The row shows the whole name as stored: path, letter case and zero bytes kept. The path
    // separates folders with backslashes, on every host.
    std::string decoded = (flags & unicodeNameFlag) ? decodeUnicodeName(*name, names) : names.decode(asText(*name));
    SplitName split = splitMemberName(decoded);
    ArchiveMember member;
    member.baseName = std::move(split.base);
    member.extension = std::move(split.extension);
    member.path = memberPath(std::move(decoded), true);
    member.isDirectory = (flags & dictionaryBits) == dictionaryBits || directoryAttributes;
    member.unpackedSize = unpackedSize;
    member.packedSize = packedSize;
    member.date = DosDateToDate(readU16(fields + dateOffset));
    member.time = dosTimeOfDay(readU16(fields + timeOffset));
    member.crc = readU32(fields + crcOffset);
    try {
        sink.addMember(std::move(member));
    } catch (const AutomationError&) {
        return std::nullopt;
    }
    return packedSize;
}

// Whether a block stepped over holds the archive comment: an old comment block anywhere, or a
// service header named CMT before the first file (one after a file holds that file's comment).
bool holdsArchiveComment(Bytes header, bool fileSeen)
{
    if (header[blockTypeOffset] == oldCommentType) return true;
    if (header[blockTypeOffset] != serviceHeaderType || fileSeen) return false;
    const std::optional<Bytes> name = storedName(header);
    return name && asText(*name) == "CMT";
}

// Walks the blocks from the first one after the main header. Each block is stepped over by its
// header size and the data size that a file header or a long block gives. The walk ends at the
// end-of-archive block, at a block of no known type, at the end of the file, and at a header
// that is damaged or cut short.
void ReadRarBlocks(ByteSource& file, std::uint64_t at, MemberSink& sink, const NameDecoder& names)
{
    bool fileSeen = false;
    for (;;) {
        const std::optional<Bytes> start = file.read(at, blockHeaderSize);
        if (!start) return;
        const std::uint16_t size = readU16(start->data() + blockSizeOffset);
        if (size < blockHeaderSize) return;
        const std::optional<Bytes> header = file.read(at, size);
        if (!header) return;
        const std::uint8_t type = (*header)[blockTypeOffset];
        std::uint64_t dataSize = 0;
        if (type == fileHeaderType) {
            const std::optional<std::uint64_t> packedSize = ReadRarFileHeader(*header, sink, names);
            if (!packedSize) return;
            dataSize = *packedSize;
            fileSeen = true;
        } else if (type >= firstSteppedType && type <= lastSteppedType) {
            if (readU16(header->data() + blockFlagsOffset) & longBlockFlag) {
                if (size < longBlockHeaderSize) return;
                dataSize = readU32(header->data() + longBlockDataSizeOffset);
            }
            if (holdsArchiveComment(*header, fileSeen)) sink.setComment("Present");
        } else {
            return; // the end of the archive, or no block of a known kind
        }
        if (!file.fits(at + size, dataSize)) return; // the data run past the end of the file
        at += size + dataSize;
    }
}

} // namespace

ReadVerdict ReadRarArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names)
{
    switch (CheckRarMarker(file)) {
    case RarMarker::None:
        return ReadVerdict::NotAnArchive;
    case RarMarker::Rar5:
        if (readRar5Blocks(file, sink) == ReadVerdict::NotAnArchive) return ReadVerdict::NotAnArchive;
        break;
    case RarMarker::Rar15: {
        const std::optional<MainHeader> mainHeader = ReadRarMainHeader(file, sink);
        if (!mainHeader) return ReadVerdict::NotAnArchive;
        // Encrypted headers would read as noise: nothing is listed without the password.
        if (!mainHeader->headersEncrypted) ReadRarBlocks(file, mainHeader->firstBlock, sink, names);
        break;
    }
    }
    // The host may handle its pending messages while the file is still open.
    sink.processPendingMessages();
    return ReadVerdict::Archive;
}

} // namespace quenarch
