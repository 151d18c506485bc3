#include "quenarch/archive/zip_reader.h"

#include "quenarch/archive/crc32.h"
#include "quenarch/archive/dos_datetime.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace quenarch {
namespace {

constexpr std::uint32_t endRecordSignature = 0x06054B50;
constexpr std::uint32_t centralHeaderSignature = 0x02014B50;
constexpr std::uint32_t zip64LocatorSignature = 0x07064B50;
constexpr std::uint32_t zip64EndRecordSignature = 0x06064B50;
constexpr std::size_t endRecordSize = 22;
constexpr std::size_t centralHeaderSize = 46;
// The end record is looked for from 6 bytes before the end of the file down to this distance.
constexpr std::uint64_t endRecordSearchReach = 50004;

constexpr std::uint16_t utf8NameFlag = 0x0800;
constexpr std::uint16_t zip64ExtraId = 0x0001;
constexpr std::uint16_t unicodePathExtraId = 0x7075;

std::optional<std::uint64_t> findEndRecord(Bytes file)
{
    if (file.size() < 6) return std::nullopt;
    const std::uint64_t lowest = file.size() > endRecordSearchReach ? file.size() - endRecordSearchReach : 0;
    for (std::uint64_t offset = file.size() - 6;; --offset) {
        if (readU32(file.data() + offset) == endRecordSignature) return offset;
        if (offset == lowest) return std::nullopt;
    }
}

struct Directory {
    std::uint64_t entries = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
};

// Where an archive has a ZIP64 end record, its counts and offsets replace the 16- and 32-bit
// fields that overflowed in the classic end record.
void applyZip64EndRecord(Bytes file, std::uint64_t endRecord, Directory& directory)
{
    if (endRecord < 20) return;
    const std::uint8_t* locator = file.data() + endRecord - 20;
    if (readU32(locator) != zip64LocatorSignature) return;
    const std::uint64_t recordOffset = readU64(locator + 8);
    if (!fits(file, recordOffset, 56) || readU32(file.data() + recordOffset) != zip64EndRecordSignature) return;
    const std::uint8_t* record = file.data() + recordOffset;
    if (directory.entries == 0xFFFF) directory.entries = readU64(record + 32);
    if (directory.size == 0xFFFFFFFF) directory.size = readU64(record + 40);
    if (directory.offset == 0xFFFFFFFF) directory.offset = readU64(record + 48);
}

bool centralHeaderAt(Bytes file, std::uint64_t offset)
{
    return fits(file, offset, 4) && readU32(file.data() + offset) == centralHeaderSignature;
}

// An archive with data put in front of it (a self-extractor stub, say) still records offsets
// from its own start; its directory then lies just before the end record instead.
void correctForPrependedData(Bytes file, std::uint64_t endRecord, Directory& directory)
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
    while (at + 4 <= extra.size()) {
        const std::uint16_t id = readU16(extra.data() + at);
        const std::uint16_t length = readU16(extra.data() + at + 2);
        if (at + 4 + length > extra.size()) break;
        const std::uint8_t* data = extra.data() + at + 4;
        if (id == zip64ExtraId) {
            std::size_t field = 0;
            if (unpackedOverflows && field + 8 <= length) {
                fields.unpackedSize = readU64(data + field);
                field += 8;
            }
            if (packedOverflows && field + 8 <= length) fields.packedSize = readU64(data + field);
        } else if (id == unicodePathExtraId && length >= 5 && data[0] == 1) {
            const auto* nameBytes = reinterpret_cast<const std::uint8_t*>(storedName.data());
            // The Unicode name only counts while it still describes the stored name.
            if (readU32(data + 1) == crc32({nameBytes, storedName.size()}))
                fields.unicodePath = std::string_view(reinterpret_cast<const char*>(data + 5), length - 5u);
        }
        at += 4u + length;
    }
    return fields;
}

} // namespace

ReadVerdict ReadZipArchive(Bytes file, MemberSink& sink, const TextCodec& codec)
{
    // An empty file is neither searched nor judged.
    if (file.empty()) return ReadVerdict::Archive;
    const std::optional<std::uint64_t> endRecord = findEndRecord(file);
    if (!endRecord) return ReadVerdict::NotAnArchive;

    // A record cut short by the end of the file tells neither where the directory is nor how
    // long: the archive lists nothing rather than reading its local headers as the directory.
    if (!fits(file, *endRecord, endRecordSize)) return ReadVerdict::Archive;
    const std::uint8_t* record = file.data() + *endRecord;
    Directory directory{readU16(record + 10), readU32(record + 12), readU32(record + 16)};
    const std::uint16_t commentLength = readU16(record + 20);
    const std::uint64_t commentStart = *endRecord + endRecordSize;
    if (commentLength != 0 && commentStart < file.size()) {
        const auto available = std::min<std::uint64_t>(commentLength, file.size() - commentStart);
        sink.setComment(codec.decode({reinterpret_cast<const char*>(file.data() + commentStart), static_cast<std::size_t>(available)}));
    }
    applyZip64EndRecord(file, *endRecord, directory);
    correctForPrependedData(file, *endRecord, directory);

    if (directory.offset < file.size())
        sink.expectMembers(std::min<std::uint64_t>(directory.entries, (file.size() - directory.offset) / centralHeaderSize));
    std::uint64_t at = directory.offset;
    for (std::uint64_t entry = 0; entry < directory.entries; ++entry) {
        if (!fits(file, at, centralHeaderSize)) break;
        const std::uint8_t* header = file.data() + at;
        if (readU32(header) == endRecordSignature) break;
        const std::uint16_t flags = readU16(header + 8);
        const std::uint16_t nameLength = readU16(header + 28);
        const std::uint16_t extraLength = readU16(header + 30);
        const std::uint16_t commentSkip = readU16(header + 32);
        if (!fits(file, at + centralHeaderSize, nameLength)) break;
        const std::string_view storedName(reinterpret_cast<const char*>(header + centralHeaderSize), nameLength);
        const std::uint64_t extraStart = at + centralHeaderSize + nameLength;
        const Bytes extra = fits(file, extraStart, extraLength) ? file.subspan(extraStart, extraLength) : Bytes{};

        std::uint64_t packedSize = readU32(header + 20);
        std::uint64_t unpackedSize = readU32(header + 24);
        const ExtraFields fields = readExtraFields(extra, storedName, unpackedSize == 0xFFFFFFFF, packedSize == 0xFFFFFFFF);
        unpackedSize = fields.unpackedSize.value_or(unpackedSize);
        packedSize = fields.packedSize.value_or(packedSize);

        std::string name = (flags & utf8NameFlag) ? decodeMarkedUtf8(storedName, codec)
                           : fields.unicodePath     ? decodeMarkedUtf8(*fields.unicodePath, codec)
                                                    : codec.decode(storedName);
        if (const std::size_t slash = name.find('/'); slash != std::string::npos) name.erase(0, slash + 1);

        SplitName split = splitMemberName(std::move(name));
        const std::string_view base = split.base;
        if (base.find_first_not_of(' ') != std::string_view::npos) {
            ArchiveMember member;
            member.baseName = std::move(split.base);
            member.extension = std::move(split.extension);
            member.unpackedSize = unpackedSize;
            member.packedSize = packedSize;
            member.date = DosDateToDate(readU16(header + 14));
            member.time = dosTimeOfDay(readU16(header + 12));
            member.crc = readU32(header + 16);
            addMemberResumingOnError(sink, member);
        }
        at = extraStart + extraLength + commentSkip;
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
