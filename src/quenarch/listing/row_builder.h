#pragma once

#include "quenarch/listing/image_list.h"
#include "quenarch/listing/list_view.h"
#include "quenarch/base/automation_date.h"
#include "quenarch/platform/platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <deque>

namespace quenarch {

// The sub-items of a listing row.
enum ListingColumn : std::size_t {
    SizeColumn = 1,     // unpacked size, digits grouped
    PackedColumn = 2,   // packed size, digits grouped
    TypeColumn = 3,     // file-type description
    ModifiedColumn = 4, // date and "hh:mm" as shown
    DateColumn = 5,     // date and time in the general date form, read back by the item queries
    CrcColumn = 6,      // CRC text as the reader gave it
};

// Appends text with its first character in upper case and the rest in lower case.
void appendProperCase(RowText& out, std::string_view text);

// Whether the image list holds a picture keyed "x" followed by the extension, in any letter case.
bool HasIconKey(std::string_view extension, const ImageList& imageList);

// Turns archive members into listing rows. The icon of an extension is taken from the desktop
// the first time the extension is met after the image lists were rebuilt, and kept in both icon
// lists under "x" plus the lower-cased extension; an extension without an icon is asked for
// again with the next archive.
class RowBuilder {
public:
    RowBuilder(ListView& list, ImageList& smallIcons, ImageList& largeIcons, ImageList& scratch, const Platform& platform);

    // A new archive is being read: what was learnt about extensions and dates no longer holds.
    void beginArchive();

    void AddListItem(std::string_view baseName, std::string_view extension, std::uint64_t unpackedSize,
                     std::uint64_t packedSize, std::optional<AutomationDate> memberDate,
                     std::optional<double> memberTime, std::string_view crcText);

private:
    // What one archive's rows share for an extension as the reader passed it.
    struct ExtensionFacts {
        std::string asPassed;
        std::uint64_t prefix = 0; // its first eight bytes
        std::string lowerCased;
        std::string typeName;
        std::string iconKey; // empty until the extension's icon has been looked up
    };

    ExtensionFacts& factsFor(std::string_view extension);
    // The key of the icon to show for a non-empty lower-cased extension e.
    std::string iconKeyFor(std::string_view extension, const std::string& e);
    // The calendar parts of a member's moment.
    DateParts momentOf(AutomationDate date, double timeOfDay);
    // The short date of a day, formatted once for the run of members that share it.
    const std::string& shortDateOf(const DateParts& parts);

    ListView& list_;
    ImageList& smallIcons_; // 16 x 16
    ImageList& largeIcons_; // 32 x 32
    ImageList& scratch_;
    const Platform& platform_;

    std::deque<ExtensionFacts> extensions_; // stays put as it grows: rows' look-ups keep references
    ExtensionFacts* lastFacts_ = nullptr;
    std::optional<DateParts> lastCalendar_;
    std::int64_t lastCalendarDay_ = 0;
    std::int64_t lastDay_ = 0;
    std::string lastShortDate_;
};

} // namespace quenarch
