#include "quenarch/listing/row_store.h"

#include "quenarch/base/utf8.h"

#include <algorithm>

namespace quenarch {
namespace {

// Where the base name followed by a dot and the extension (the base name alone when there is no
// extension) starts at the end of the path, so that only the folders before it need storing;
// nothing when the path does not end with the name.
std::optional<std::size_t> nameStartInPath(std::string_view path, std::string_view base, std::string_view extension)
{
    const std::size_t nameLength = base.size() + (extension.empty() ? 0 : 1 + extension.size());
    if (path.size() < nameLength) return std::nullopt;
    const std::size_t start = path.size() - nameLength;
    const std::string_view name = path.substr(start);
    if (!name.starts_with(base)) return std::nullopt;
    if (!extension.empty() && (name[base.size()] != '.' || !name.ends_with(extension))) return std::nullopt;
    return start;
}

} // namespace

void RowStore::clear()
{
    records_.clear();
    records_.shrink_to_fit();
    texts_.clear();
    extensions_.clear();
    iconKeys_.resize(1);
    iconKeyNumbers_.clear();
    hostTexts_.clear();
}

void RowStore::reserveOneMore()
{
    if (records_.size() < records_.capacity()) return;
    records_.reserve(std::max<std::size_t>(64, records_.size() * 2));
}

RowRecord RowStore::memberRecord(const MemberValues& member)
{
    RowRecord record;
    record.flags = RowRecord::member;
    record.base = texts_.store(member.baseName);
    if (isAscii(member.baseName)) record.flags |= RowRecord::asciiBase;
    if (const auto nameStart = nameStartInPath(member.path, member.baseName, extensions_[member.extension].asPassed)) {
        record.flags |= RowRecord::pathEndsWithName;
        if (*nameStart > 0) record.path = texts_.store(member.path.substr(0, *nameStart));
    } else {
        record.path = texts_.store(member.path);
    }
    if (member.isDirectory) record.flags |= RowRecord::directory;
    record.unpackedSize = member.unpackedSize;
    record.packedSize = member.packedSize;
    if (member.moment) {
        record.flags |= RowRecord::hasMoment;
        record.moment = *member.moment;
    }
    record.crc = member.crc;
    record.extension = member.extension;
    return record;
}

ExtensionId RowStore::shareExtension(std::string_view asPassed, std::string_view shown, std::string_view typeText)
{
    extensions_.push_back({std::string(asPassed), std::string(shown), std::string(typeText), utf8CharacterCount(shown), utf8CharacterCount(typeText)});
    return static_cast<ExtensionId>(extensions_.size() - 1);
}

IconKeyNumber RowStore::iconKeyNumber(std::string_view key)
{
    if (key.empty()) return IconKeyNumber{};
    if (const auto found = iconKeyNumbers_.find(key); found != iconKeyNumbers_.end()) return found->second;
    const auto number = static_cast<IconKeyNumber>(iconKeys_.size());
    iconKeyNumbers_.emplace(iconKeys_.emplace_back(key), number);
    return number;
}

void RowStore::setHostText(std::size_t position, std::size_t column, std::string_view text)
{
    RowRecord& record = records_[position];
    if (record.hostTexts == 0) {
        hostTexts_.emplace_back();
        record.hostTexts = static_cast<std::uint32_t>(hostTexts_.size());
    }
    hostTexts_[record.hostTexts - 1][column] = text;
    record.hostCells |= static_cast<std::uint8_t>(1u << column);
}

std::string_view RowStore::hostText(const RowRecord& record, std::size_t column) const
{
    if (record.hostTexts == 0) return {};
    return hostTexts_[record.hostTexts - 1][column];
}

RowStore::Records RowStore::inOrder(std::span<const std::size_t> previousPositions) const
{
    Records ordered(records_.get_allocator());
    ordered.reserve(records_.size());
    for (const std::size_t position : previousPositions) ordered.push_back(records_[position]);
    return ordered;
}

} // namespace quenarch
