#pragma once

#include "quenarch/base/automation_date.h"
#include "quenarch/listing/image_list.h"
#include "quenarch/listing/list_view.h"
#include "quenarch/platform/platform.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {

// Whether the image list holds a picture keyed "x" followed by the extension, in any letter case.
bool HasIconKey(std::string_view extension, const ImageList& imageList);

// One archive member as a reader reports it to the row builder.
struct ListingMember {
    std::string_view baseName{};  // the name before its last dot
    std::string_view extension{}; // the text after that dot, without it; may be empty
    std::string_view path{};    // the full stored path; empty when the reader gives none
    bool isDirectory = false;
    std::uint64_t unpackedSize = 0;
    std::uint64_t packedSize = 0;
    std::optional<AutomationDate> date{}; // midnight of the modification day
    std::optional<double> time{};       // modification time of day
    std::uint32_t crc = 0;
};

// Turns archive members into listing rows. The icon of an extension is taken from the desktop
// the first time the extension is met after the image lists were rebuilt, and kept in both icon
// lists under "x" plus the lower-cased extension; an extension without an icon is asked for
// again with the next archive.
class RowBuilder {
public:
    RowBuilder(ListView& list, ImageList& smallIcons, ImageList& largeIcons, ImageList& scratch, const Platform& platform);

    // A new archive is being read: what was learnt about extensions no longer holds.
    void beginArchive();

    // Appends the member's row: its display name, sizes, type, dates and CRC, written in the
    // list's locale, then its icons.
    void AddListItem(const ListingMember& member);

private:
    // What one archive's rows share for an extension as the reader passed it.
    struct ExtensionFacts {
        std::string asPassed;
        std::uint64_t prefix = 0; // its first eight bytes
        std::string lowerCased;
        std::string typeName;
        std::string iconKey; // empty until the extension's icon has been looked up
        // What the list keeps for the extension, while its generation stays listGeneration.
        ExtensionId shared = 0;
        IconKeyNumber iconNumber{};
        std::uint64_t listGeneration = 0;
    };

    ExtensionFacts& factsFor(std::string_view extension);
    // The key of the icon to show for a non-empty lower-cased extension e.
    std::string iconKeyFor(std::string_view extension, const std::string& e);
    // The moment of a member, with a time of 24:00 carried into the next day.
    static RowMoment momentOf(AutomationDate date, double timeOfDay);

    ListView& list_;
    ImageList& smallIcons_; // 16 x 16
    ImageList& largeIcons_; // 32 x 32
    ImageList& scratch_;
    const Platform& platform_;

    std::deque<ExtensionFacts> extensions_; // stays put as it grows: look-ups keep references
    ExtensionFacts* lastFacts_ = nullptr;
};

} // namespace quenarch
