#pragma once

#include "quenarch/listing/large_block_resource.h"
#include "quenarch/listing/text_arena.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quenarch {

// The columns of a listing row: its text and its six sub-items.
enum ListingColumn : std::size_t {
    NameColumn = 0,     // display name
    SizeColumn = 1,     // unpacked size, digits grouped
    PackedColumn = 2,   // packed size, digits grouped
    TypeColumn = 3,     // file-type description
    ModifiedColumn = 4, // short date and "hh:mm", as shown
    DateColumn = 5,     // date and time in the general date form, read back by the item queries
    CrcColumn = 6,      // CRC in hexadecimal
};
inline constexpr std::size_t listingColumnCount = 7;

// A moment to the second: a day of the automation calendar and the second of that day.
struct RowMoment {
    std::int32_t day = 0;
    std::int32_t second = 0; // 0 to 86,399

    friend bool operator==(const RowMoment&, const RowMoment&) = default;
};

// What the rows of one extension share: the extension as the reader passed it, as the name
// shows it (lower case; empty for a blank one) and the description of its file type, with the
// characters of the last two counted once.
struct SharedExtension {
    std::string asPassed;
    std::string shown;
    std::string typeText;
    std::size_t shownCharacters = 0;
    std::size_t typeCharacters = 0;
};
using ExtensionId = std::uint32_t;

// The number under which a store keeps an icon key; 0 is the empty key.
enum class IconKeyNumber : std::uint32_t {};

// The values of an archive member, from which its row's texts are written.
struct MemberValues {
    std::string_view baseName; // the name before its last dot
    ExtensionId extension = 0;
    std::string_view path; // the full stored path; empty when the reader gives none
    bool isDirectory = false;
    std::uint64_t unpackedSize = 0;
    std::uint64_t packedSize = 0;
    std::optional<RowMoment> moment;
    std::uint32_t crc = 0;
};

// One row as stored: a member's values, or none for a row a host added; the cells whose texts
// a host wrote; the icon keys and the selection.
struct RowRecord {
    enum Flag : std::uint8_t {
        member = 1,         // the values below are a member's
        hasMoment = 2,      // the moment is known
        pathEndsWithName = 4, // the path is the stored path (its folders), the base name, a dot and
                              // the extension as passed
        directory = 8,
        selected = 16,
        asciiBase = 32, // the base name is ASCII, so proper casing keeps its length
    };

    StoredText base;
    StoredText path;
    std::uint64_t unpackedSize = 0;
    std::uint64_t packedSize = 0;
    RowMoment moment;
    std::uint32_t crc = 0;
    ExtensionId extension = 0;
    IconKeyNumber icon{};        // none: the empty key
    IconKeyNumber smallIcon{};
    std::uint32_t hostTexts = 0; // 1-based entry of the texts hosts wrote; 0 for none
    std::uint8_t flags = 0;
    std::uint8_t hostCells = 0;  // one bit per column whose text a host wrote

    bool has(Flag flag) const { return (flags & flag) != 0; }
    bool hostWrote(std::size_t column) const { return column < listingColumnCount && (hostCells >> column & 1u) != 0; }
};

// The rows of a list, compactly: fixed-size records in large blocks, names and paths in an
// arena, the extensions' texts and the icon keys once each, and texts that hosts wrote beside.
// A million rows take about a hundred bytes each.
class RowStore {
public:
    std::size_t size() const { return records_.size(); }
    void reserve(std::size_t rows) { records_.reserve(rows); }
    // Needs no memory, so that a list can always be emptied.
    void clear();

    // Positions are 0-based.
    RowRecord& operator[](std::size_t position) { return records_[position]; }
    const RowRecord& operator[](std::size_t position) const { return records_[position]; }

    // A member's record, its texts kept in the store.
    RowRecord memberRecord(const MemberValues& member);
    // Makes room for one more row, so that appending it cannot fail.
    void reserveOneMore();
    void append(const RowRecord& record) { records_.push_back(record); }

    // Every call adds an entry; ids hold until the store is cleared.
    ExtensionId shareExtension(std::string_view asPassed, std::string_view shown, std::string_view typeText);
    const SharedExtension& extension(ExtensionId id) const { return extensions_[id]; }
    bool knowsExtension(ExtensionId id) const { return id < extensions_.size(); }

    // The number of a key, the same for every row that uses it, until the store is cleared.
    IconKeyNumber iconKeyNumber(std::string_view key);
    bool knowsIconKey(IconKeyNumber number) const { return static_cast<std::size_t>(number) < iconKeys_.size(); }
    std::string_view iconKey(IconKeyNumber number) const { return iconKeys_[static_cast<std::size_t>(number)]; }

    void setHostText(std::size_t position, std::size_t column, std::string_view text);
    std::string_view hostText(const RowRecord& record, std::size_t column) const;

    // The rows in another order: the row at position i is the one that stands at
    // previousPositions[i]. The store keeps them once they are put in place.
    using Records = std::pmr::vector<RowRecord>;
    Records inOrder(std::span<const std::size_t> previousPositions) const;
    void putInPlace(Records&& records) noexcept { records_ = std::move(records); }

private:
    LargeBlockResource blocks_;
    TextArena texts_{&blocks_};
    Records records_{&blocks_};
    std::vector<SharedExtension> extensions_;
    std::deque<std::string> iconKeys_{std::string()};
    std::unordered_map<std::string_view, IconKeyNumber> iconKeyNumbers_; // every key but the empty one
    std::vector<std::array<std::string, listingColumnCount>> hostTexts_;
};

} // namespace quenarch
