#include "quenarch/archive/rar5_blocks.h"

#include "quenarch/archive/dos_datetime.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/base/utf8.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {
namespace {

constexpr std::uint64_t mainHeaderType = 1;
constexpr std::uint64_t fileHeaderType = 2;
constexpr std::uint64_t serviceHeaderType = 3;
constexpr std::uint64_t encryptionHeaderType = 4;
constexpr std::uint64_t endOfArchiveType = 5;

// Header flags.
constexpr std::uint64_t hasExtraArea = 0x0001;
constexpr std::uint64_t hasDataArea = 0x0002;

// File flags.
constexpr std::uint64_t isDirectory = 0x0001;
constexpr std::uint64_t hasUnixModificationTime = 0x0002;
constexpr std::uint64_t hasCrc = 0x0004;

// The file time record of the extra area, and its flags.
constexpr std::uint64_t fileTimeRecord = 3;
constexpr std::uint64_t timesAreUnixSeconds = 0x0001;
constexpr std::uint64_t hasModificationTime = 0x0002;

// A block starts with its header CRC, then the header size as a variable-length integer, which
// takes at most 10 bytes.
constexpr std::uint64_t headerCrcLength = 4;
constexpr std::size_t longestVint = 10;

// Seconds from 1601-01-01 (where Windows file times count from) to 1970-01-01.
constexpr std::int64_t fileTimeEpochOffset = 11'644'473'600;

// Reads the fields of one header from its front, never past its end.
class FieldReader {
public:
    explicit FieldReader(Bytes bytes) : bytes_(bytes) {}

    // A variable-length integer: 7 bits a byte, lowest first, the top bit set on all but the last.
    std::optional<std::uint64_t> vint()
    {
        std::uint64_t value = 0;
        for (int shift = 0; at_ < bytes_.size() && shift < 64; shift += 7) {
            const std::uint8_t byte = bytes_[at_++];
            const std::uint64_t bits = byte & 0x7F;
            if (shift == 63 && bits > 1) return std::nullopt; // more than 64 bits
            value |= bits << shift;
            if ((byte & 0x80) == 0) return value;
        }
        return std::nullopt;
    }

    std::optional<std::uint32_t> u32()
    {
        const std::optional<Bytes> field = take(4);
        if (!field) return std::nullopt;
        return readU32(field->data());
    }

    std::optional<std::uint64_t> u64()
    {
        const std::optional<Bytes> field = take(8);
        if (!field) return std::nullopt;
        return readU64(field->data());
    }

    std::optional<Bytes> take(std::uint64_t length)
    {
        if (length > bytes_.size() - at_) return std::nullopt;
        const Bytes field = bytes_.subspan(at_, static_cast<std::size_t>(length));
        at_ += field.size();
        return field;
    }

    std::size_t position() const { return at_; }
    Bytes rest() const { return bytes_.subspan(at_); }

private:
    Bytes bytes_;
    std::size_t at_ = 0;
};

struct Block {
    std::uint64_t type = 0;
    Bytes fields; // what the block type defines, between the general fields and the extra area
    Bytes extra;
    std::uint64_t dataSize = 0;
    std::uint64_t next = 0; // where the next block starts; may lie past the end of the file
};

// The block at the given offset, or nothing when its header is damaged or cut short by the end
// of the file. Its data area may run past the end.
std::optional<Block> readBlock(ByteSource& file, std::uint64_t at)
{
    // The header CRC, then the header size, which counts the bytes after itself.
    const std::optional<Bytes> sizeBytes = file.readUpTo(at + headerCrcLength, longestVint);
    if (!sizeBytes) return std::nullopt;
    FieldReader sizeField(*sizeBytes);
    const std::optional<std::uint64_t> headerSize = sizeField.vint();
    if (!headerSize) return std::nullopt;
    const std::uint64_t headerStart = at + headerCrcLength + sizeField.position();
    const std::optional<Bytes> headerBytes = file.read(headerStart, static_cast<std::size_t>(*headerSize));
    if (!headerBytes) return std::nullopt;

    FieldReader header(*headerBytes);
    const std::optional<std::uint64_t> type = header.vint();
    const std::optional<std::uint64_t> flags = header.vint();
    if (!type || !flags) return std::nullopt;
    const std::optional<std::uint64_t> extraSize = (*flags & hasExtraArea) ? header.vint() : 0;
    const std::optional<std::uint64_t> dataSize = (*flags & hasDataArea) ? header.vint() : 0;
    if (!extraSize || !dataSize || *extraSize > header.rest().size()) return std::nullopt;

    Block block;
    block.type = *type;
    block.fields = header.rest().first(header.rest().size() - static_cast<std::size_t>(*extraSize));
    block.extra = header.rest().last(static_cast<std::size_t>(*extraSize));
    block.dataSize = *dataSize;
    const std::uint64_t headerEnd = headerStart + *headerSize;
    block.next = *dataSize > std::numeric_limits<std::uint64_t>::max() - headerEnd ? std::numeric_limits<std::uint64_t>::max()
                                                                                   : headerEnd + *dataSize;
    return block;
}

// The fields that file and service headers share.
struct FileFields {
    bool isDirectory = false;
    std::uint64_t unpackedSize = 0;
    std::optional<std::uint32_t> unixModificationTime;
    std::uint32_t crc = 0;
    std::string_view name; // UTF-8
};

std::optional<FileFields> readFileFields(Bytes bytes)
{
    FieldReader reader(bytes);
    const std::optional<std::uint64_t> fileFlags = reader.vint();
    const std::optional<std::uint64_t> unpackedSize = reader.vint();
    if (!fileFlags || !unpackedSize || !reader.vint() /* attributes */) return std::nullopt;
    FileFields fields;
    fields.isDirectory = (*fileFlags & isDirectory) != 0;
    fields.unpackedSize = *unpackedSize;
    if (*fileFlags & hasUnixModificationTime) {
        fields.unixModificationTime = reader.u32();
        if (!fields.unixModificationTime) return std::nullopt;
    }
    if (*fileFlags & hasCrc) {
        const std::optional<std::uint32_t> crc = reader.u32();
        if (!crc) return std::nullopt;
        fields.crc = *crc;
    }
    if (!reader.vint() /* compression */ || !reader.vint() /* host system */) return std::nullopt;
    const std::optional<std::uint64_t> nameLength = reader.vint();
    const std::optional<Bytes> name = nameLength ? reader.take(*nameLength) : std::nullopt;
    if (!name) return std::nullopt;
    fields.name = {reinterpret_cast<const char*>(name->data()), name->size()};
    return fields;
}

// The modification time of the extra area's file time record, in seconds since 1970 (UTC).
std::optional<std::int64_t> recordedModificationTime(Bytes extra)
{
    FieldReader records(extra);
    while (!records.rest().empty()) {
        const std::optional<std::uint64_t> recordSize = records.vint();
        const std::optional<Bytes> record = recordSize ? records.take(*recordSize) : std::nullopt;
        if (!record) return std::nullopt;
        FieldReader fields(*record);
        if (fields.vint() != fileTimeRecord) continue;
        const std::optional<std::uint64_t> flags = fields.vint();
        if (!flags || !(*flags & hasModificationTime)) return std::nullopt;
        if (*flags & timesAreUnixSeconds) return fields.u32();
        const std::optional<std::uint64_t> fileTime = fields.u64(); // 100 ns units since 1601
        if (!fileTime) return std::nullopt;
        return static_cast<std::int64_t>(*fileTime / 10'000'000) - fileTimeEpochOffset;
    }
    return std::nullopt;
}

// Adds the member of a file header; false when the header is damaged or the sink refused the
// member, either of which ends the walk.
bool addFileMember(const Block& block, MemberSink& sink)
{
    const std::optional<FileFields> fields = readFileFields(block.fields);
    if (!fields) return false;
    // Names are UTF-8 with "/" between folders.
    std::string name = decodeUtf8Lossy(fields->name);
    SplitName split = splitMemberName(name);
    ArchiveMember member;
    member.baseName = std::move(split.base);
    member.extension = std::move(split.extension);
    member.path = memberPath(std::move(name), false);
    member.isDirectory = fields->isDirectory;
    member.unpackedSize = fields->unpackedSize;
    member.packedSize = block.dataSize;
    std::optional<std::int64_t> modified = recordedModificationTime(block.extra);
    if (!modified && fields->unixModificationTime) modified = *fields->unixModificationTime;
    if (modified) {
        if (const std::optional<LocalMoment> local = unixTimeToLocal(*modified)) {
            member.date = local->date;
            member.time = local->timeOfDay;
        }
    }
    member.crc = fields->crc;
    try {
        sink.addMember(std::move(member));
    } catch (const AutomationError&) {
        return false;
    }
    return true;
}

bool isArchiveComment(const Block& block)
{
    const std::optional<FileFields> fields = readFileFields(block.fields);
    return fields && fields->name == "CMT";
}

} // namespace

ReadVerdict readRar5Blocks(ByteSource& file, MemberSink& sink)
{
    std::optional<Block> block = readBlock(file, rar5SignatureSize);
    if (!block || (block->type != mainHeaderType && block->type != encryptionHeaderType)) return ReadVerdict::NotAnArchive;
    if (block->type == encryptionHeaderType) return ReadVerdict::Archive;

    // Every block takes at least 7 bytes, so each step moves forward.
    for (std::uint64_t at = block->next; (block = readBlock(file, at)); at = block->next) {
        if (block->type == endOfArchiveType || block->type == encryptionHeaderType) break;
        if (block->type == fileHeaderType) {
            if (!addFileMember(*block, sink)) break;
        } else if (block->type == serviceHeaderType && isArchiveComment(*block)) {
            sink.setComment("Present");
        }
    }
    return ReadVerdict::Archive;
}

} // namespace quenarch
