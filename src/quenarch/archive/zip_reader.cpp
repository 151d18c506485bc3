#include "quenarch/archive/zip_reader.h"

#include "quenarch/archive/crc32.h"
#include "quenarch/archive/dos_datetime.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace quenarch {
namespace {

// End-of-central-directory record; the archive comment follows it.
constexpr std::uint32_t endRecordSignature = 0x06054B50;
constexpr std::size_t endRecordSize = 22;
constexpr std::size_t endEntriesOffset = 10;
constexpr std::size_t endDirectorySizeOffset = 12;
constexpr std::size_t endDirectoryOffsetOffset = 16;
constexpr std::size_t endCommentLengthOffset = 20;
// The end record is looked for from 6 bytes before the end of the file down to 50,004 bytes.
constexpr std::uint64_t endRecordSearchStart = 6;
constexpr std::uint64_t endRecordSearchReach = 50004;
constexpr std::size_t signatureSize = 4;

// ZIP64 end-of-central-directory locator, right before the end record.
constexpr std::uint32_t zip64LocatorSignature = 0x07064B50;
constexpr std::size_t zip64LocatorSize = 20;
constexpr std::size_t locatorRecordOffset = 8;

// ZIP64 end-of-central-directory record, where the locator says.
constexpr std::uint32_t zip64EndRecordSignature = 0x06064B50;
constexpr std::size_t zip64EndRecordSize = 56;
constexpr std::size_t zip64EntriesOffset = 32;
constexpr std::size_t zip64DirectorySizeOffset = 40;
constexpr std::size_t zip64DirectoryOffsetOffset = 48;

// Central directory header; the name, the extra field and the comment follow it.
constexpr std::uint32_t centralHeaderSignature = 0x02014B50;
constexpr std::size_t centralHeaderSize = 46;
constexpr std::size_t hostSystemOffset = 5; // the high byte of "version made by"
constexpr std::size_t flagsOffset = 8;
constexpr std::size_t timeOffset = 12;
constexpr std::size_t dateOffset = 14;
constexpr std::size_t crcOffset = 16;
constexpr std::size_t packedSizeOffset = 20;
constexpr std::size_t unpackedSizeOffset = 24;
constexpr std::size_t nameLengthOffset = 28;
constexpr std::size_t extraLengthOffset = 30;
constexpr std::size_t commentLengthOffset = 32;
constexpr std::size_t externalAttributesOffset = 38;

constexpr std::uint16_t utf8NameFlag = 0x0800;

// Extra fields: each block is an id, the length of its data and the data.
constexpr std::size_t extraBlockHeaderSize = 4;
constexpr std::size_t extraBlockLengthOffset = 2;
// ZIP64 sizes: the 64-bit forms of the fields that are all ones, in the header's order.
constexpr std::uint16_t zip64ExtraId = 0x0001;
// Info-ZIP Unicode Path: a version (1), the CRC-32 of the stored name, the UTF-8 name.
constexpr std::uint16_t unicodePathExtraId = 0x7075;
constexpr std::uint8_t unicodePathVersion = 1;
constexpr std::size_t unicodePathCrcOffset = 1;
constexpr std::size_t unicodePathNameOffset = 5;

// The systems whose file names cannot hold a backslash, so that one in a stored name separates
// folders: MS-DOS (FAT), OS/2 (HPFS), Windows NT (NTFS) and Windows 95 (VFAT).
constexpr std::uint8_t backslashHosts[] = {0, 6, 11, 14};
constexpr std::uint8_t unixHost = 3;
constexpr std::uint32_t dosDirectoryAttribute = 0x10;
constexpr std::uint32_t unixFileTypeMask = 0xF000;
constexpr std::uint32_t unixDirectoryType = 0x4000;

std::optional<std::uint64_t> findEndRecord(ByteSource& file)
{
    if (file.size() < endRecordSearchStart) return std::nullopt;
    const std::uint64_t lowest = file.size() > endRecordSearchReach ? file.size() - endRecordSearchReach : 0;
    // The signatures of all candidates lie between the lowest one and the nearest one's end.
    const std::uint64_t nearest = file.size() - endRecordSearchStart;
    const std::optional<Bytes> tail = file.read(lowest, static_cast<std::size_t>(nearest + signatureSize - lowest));
    if (!tail) return std::nullopt;
    for (std::size_t at = tail->size() - signatureSize;; --at) {
        if (readU32(tail->data() + at) == endRecordSignature) return lowest + at;
        if (at == 0) return std::nullopt;
    }
}

struct Directory {
    std::uint64_t entries = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
};

// Where an archive has a ZIP64 end record, its counts and offsets replace the 16- and 32-bit
// fields that overflowed in the classic end record.
void applyZip64EndRecord(ByteSource& file, std::uint64_t endRecord, Directory& directory)
{
    if (endRecord < zip64LocatorSize) return;
    const std::optional<Bytes> locator = file.read(endRecord - zip64LocatorSize, zip64LocatorSize);
    if (!locator || readU32(locator->data()) != zip64LocatorSignature) return;
    const std::optional<Bytes> record = file.read(readU64(locator->data() + locatorRecordOffset), zip64EndRecordSize);
    if (!record || readU32(record->data()) != zip64EndRecordSignature) return;
    if (directory.entries == 0xFFFF) directory.entries = readU64(record->data() + zip64EntriesOffset);
    if (directory.size == 0xFFFFFFFF) directory.size = readU64(record->data() + zip64DirectorySizeOffset);
    if (directory.offset == 0xFFFFFFFF) directory.offset = readU64(record->data() + zip64DirectoryOffsetOffset);
}

bool centralHeaderAt(ByteSource& file, std::uint64_t offset)
{
    const std::optional<Bytes> signature = file.read(offset, signatureSize);
    return signature && readU32(signature->data()) == centralHeaderSignature;
}

// An archive with data put in front of it (a self-extractor stub, say) still records offsets
// from its own start; its directory then lies just before the end record instead.
void correctForPrependedData(ByteSource& file, std::uint64_t endRecord, Directory& directory)
{
    if (directory.entries == 0 || centralHeaderAt(file, directory.offset) || directory.size > endRecord) return;
    const std::uint64_t actual = endRecord - directory.size;
    if (actual > directory.offset && centralHeaderAt(file, actual)) directory.offset = actual;
}

struct ExtraFields {
    std::optional<std::string_view> unicodePath;
    std::optional<std::uint64_t> unpackedSize;
    std::optional<std::uint64_t> packedSize;
};

ExtraFields readExtraFields(Bytes extra, std::string_view storedName, bool unpackedOverflows, bool packedOverflows)
{
    ExtraFields fields;
    std::size_t at = 0;
    while (at + extraBlockHeaderSize <= extra.size()) {
        const std::uint16_t id = readU16(extra.data() + at);
        const std::uint16_t length = readU16(extra.data() + at + extraBlockLengthOffset);
        if (at + extraBlockHeaderSize + length > extra.size()) break;
        const std::uint8_t* data = extra.data() + at + extraBlockHeaderSize;
        if (id == zip64ExtraId) {
            std::size_t field = 0;
            if (unpackedOverflows && field + sizeof(std::uint64_t) <= length) {
                fields.unpackedSize = readU64(data + field);
                field += sizeof(std::uint64_t);
            }
            if (packedOverflows && field + sizeof(std::uint64_t) <= length) fields.packedSize = readU64(data + field);
        } else if (id == unicodePathExtraId && length >= unicodePathNameOffset && data[0] == unicodePathVersion) {
            const auto* nameBytes = reinterpret_cast<const std::uint8_t*>(storedName.data());
            // The Unicode name only counts while it still describes the stored name.
            if (readU32(data + unicodePathCrcOffset) == crc32({nameBytes, storedName.size()}))
                fields.unicodePath = std::string_view(reinterpret_cast<const char*>(data + unicodePathNameOffset), length - unicodePathNameOffset);
        }
        at += extraBlockHeaderSize + length;
    }
    return fields;
}

bool isDirectoryEntry(std::string_view name, std::uint8_t host, bool backslashSeparates, std::uint32_t externalAttributes)
{
    if (name.ends_with('/') || (backslashSeparates && name.ends_with('\\'))) return true;
    if (externalAttributes & dosDirectoryAttribute) return true;
    return host == unixHost && ((externalAttributes >> 16) & unixFileTypeMask) == unixDirectoryType;
}

// What the walk over the central directory reuses from one member to the next: once the first
// names have been seen, a member costs no allocation.
struct MemberScratch {
    std::string convertedName;
    ArchiveMember member;
};

// The member of one central header: the header with its name and whatever of its extra field
// the file holds.
void addMember(Bytes header, MemberSink& sink, const NameDecoder& names, MemberScratch& scratch)
{
    const std::uint8_t* fields = header.data();
    const std::uint16_t nameLength = readU16(fields + nameLengthOffset);
    const std::string_view storedName(reinterpret_cast<const char*>(fields + centralHeaderSize), nameLength);
    const Bytes extra = header.subspan(centralHeaderSize + nameLength);

    std::uint64_t packedSize = readU32(fields + packedSizeOffset);
    std::uint64_t unpackedSize = readU32(fields + unpackedSizeOffset);
    const ExtraFields found = readExtraFields(extra, storedName, unpackedSize == 0xFFFFFFFF, packedSize == 0xFFFFFFFF);
    unpackedSize = found.unpackedSize.value_or(unpackedSize);
    packedSize = found.packedSize.value_or(packedSize);

    std::string& converted = scratch.convertedName;
    const std::string_view name = (readU16(fields + flagsOffset) & utf8NameFlag) ? names.decodeMarkedUtf8(storedName, converted)
                                  : found.unicodePath ? names.decodeMarkedUtf8(*found.unicodePath, converted)
                                                      : names.decode(storedName, converted);
    // The row shows the name without its first folder; a name left without a base gives no row.
    const std::size_t slash = name.find('/');
    const NameParts parts = memberNameParts(slash == std::string_view::npos ? name : name.substr(slash + 1));
    if (parts.base.find_first_not_of(' ') == std::string_view::npos) return;

    const std::uint8_t host = fields[hostSystemOffset];
    const bool backslashSeparates = std::ranges::find(backslashHosts, host) != std::end(backslashHosts);
    ArchiveMember& member = scratch.member;
    member.baseName.assign(parts.base);
    member.extension.assign(parts.extension);
    member.isDirectory = isDirectoryEntry(name, host, backslashSeparates, readU32(fields + externalAttributesOffset));
    assignMemberPath(member.path, name, backslashSeparates);
    member.unpackedSize = unpackedSize;
    member.packedSize = packedSize;
    member.date = DosDateToDate(readU16(fields + dateOffset));
    member.time = dosTimeOfDay(readU16(fields + timeOffset));
    member.crc = readU32(fields + crcOffset);
    addMemberResumingOnError(sink, std::move(member));
}

} // namespace

ReadVerdict ReadZipArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names)
{
    // An empty file is neither searched nor judged.
    if (file.size() == 0) return ReadVerdict::Archive;
    const std::optional<std::uint64_t> endRecord = findEndRecord(file);
    if (!endRecord) return ReadVerdict::NotAnArchive;

    // A record cut short by the end of the file tells neither where the directory is nor how
    // long: the archive lists nothing rather than reading its local headers as the directory.
    const std::optional<Bytes> record = file.read(*endRecord, endRecordSize);
    if (!record) return ReadVerdict::Archive;
    Directory directory{readU16(record->data() + endEntriesOffset), readU32(record->data() + endDirectorySizeOffset),
                        readU32(record->data() + endDirectoryOffsetOffset)};
    const std::uint16_t commentLength = readU16(record->data() + endCommentLengthOffset);
    if (commentLength != 0) {
        const std::optional<Bytes> comment = file.readUpTo(*endRecord + endRecordSize, commentLength);
        if (comment && !comment->empty()) sink.setComment(names.decode({reinterpret_cast<const char*>(comment->data()), comment->size()}));
    }
    applyZip64EndRecord(file, *endRecord, directory);
    correctForPrependedData(file, *endRecord, directory);

    if (directory.offset < file.size())
        sink.expectMembers(std::min({directory.entries, (file.size() - directory.offset) / centralHeaderSize, MemberSink::maximumExpectedMembers}));
    std::uint64_t at = directory.offset;
    MemberScratch scratch;
    for (std::uint64_t entry = 0; entry < directory.entries; ++entry) {
        const std::optional<Bytes> fixed = file.read(at, centralHeaderSize);
        if (!fixed || readU32(fixed->data()) == endRecordSignature) break;
        const std::uint16_t nameLength = readU16(fixed->data() + nameLengthOffset);
        const std::uint16_t extraLength = readU16(fixed->data() + extraLengthOffset);
        const std::uint16_t commentLength = readU16(fixed->data() + commentLengthOffset);
        if (nameLength == 0 && extraLength == 0 && commentLength == 0) {
            // A header without a name gives no row. So do all the headers of zeros that follow in
            // a hole of a sparse file: they are counted off without being read.
            at += centralHeaderSize;
            const std::uint64_t zeroHeaders = std::min((file.dataFrom(at) - at) / centralHeaderSize, directory.entries - entry - 1);
            at += zeroHeaders * centralHeaderSize;
            entry += zeroHeaders;
            continue;
        }
        // An extra field that the end of the file cuts short is left out.
        std::optional<Bytes> header = file.read(at, centralHeaderSize + nameLength + extraLength);
        if (!header) header = file.read(at, centralHeaderSize + nameLength);
        if (!header) break;
        addMember(*header, sink, names, scratch);
        at += centralHeaderSize + nameLength + extraLength + commentLength;
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
