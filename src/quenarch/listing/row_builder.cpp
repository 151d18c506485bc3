#include "quenarch/listing/row_builder.h"

#include "quenarch/listing/file_types.h"
#include "quenarch/base/text_case.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace quenarch {
namespace {

constexpr std::string_view defaultIconKey = "default";

bool isBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::size_t firstCharacterLength(std::string_view text)
{
    std::size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
    return length;
}

std::uint64_t prefixOf(std::string_view text)
{
    std::uint64_t prefix = 0;
    const std::size_t length = std::min<std::size_t>(text.size(), sizeof prefix);
    for (std::size_t i = 0; i < length; ++i) prefix |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    return prefix;
}

} // namespace

void appendProperCase(RowText& out, std::string_view text)
{
    if (text.empty()) return;
    const std::size_t start = out.size();
    out.append(text);
    // Names are nearly always ASCII: eight bytes at a time, each "A" to "Z" gets its 0x20 bit.
    constexpr std::uint64_t ones = 0x0101010101010101u;
    constexpr std::uint64_t highBits = 0x8080808080808080u;
    char* c = out.data() + start;
    char* const end = out.data() + out.size();
    std::uint64_t nonAscii = 0;
    for (std::uint64_t word = 0; end - c >= 8; c += 8) {
        std::memcpy(&word, c, 8);
        nonAscii |= word;
        const std::uint64_t low = word & ~highBits;
        const std::uint64_t upper = (low + (0x80 - 'A') * ones) & ~(low + (0x80 - 'Z' - 1) * ones) & ~word & highBits;
        word |= upper >> 2;
        std::memcpy(c, &word, 8);
    }
    bool ascii = (nonAscii & highBits) == 0;
    for (; c != end; ++c) {
        ascii = ascii && static_cast<unsigned char>(*c) < 0x80;
        if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c | 0x20);
    }
    if (ascii) {
        char& first = out[start];
        if (first >= 'a' && first <= 'z') first = static_cast<char>(first & ~0x20);
        return;
    }
    out.resize(start);
    const std::size_t first = firstCharacterLength(text);
    out.append(toUpper(text.substr(0, first)));
    out.append(toLower(text.substr(first)));
}

bool HasIconKey(std::string_view extension, const ImageList& imageList)
{
    return imageList.find("x" + std::string(extension)) != nullptr;
}

RowBuilder::RowBuilder(ListView& list, ImageList& smallIcons, ImageList& largeIcons, ImageList& scratch, const Platform& platform)
    : list_(list), smallIcons_(smallIcons), largeIcons_(largeIcons), scratch_(scratch), platform_(platform)
{
}

void RowBuilder::beginArchive()
{
    lastFacts_ = nullptr;
    extensions_.clear();
    lastShortDate_.clear();
    lastCalendar_.reset();
}

RowBuilder::ExtensionFacts& RowBuilder::factsFor(std::string_view extension)
{
    // An archive holds a few dozen extensions at most, and neighbours often share one: a short
    // search from the last one found, comparing the first eight bytes as one number, beats
    // hashing.
    const std::uint64_t prefix = prefixOf(extension);
    auto same = [&](const ExtensionFacts& facts) {
        return facts.prefix == prefix && facts.asPassed.size() == extension.size() &&
               (extension.size() <= sizeof prefix || facts.asPassed == extension);
    };
    if (lastFacts_ != nullptr && same(*lastFacts_)) return *lastFacts_;
    for (ExtensionFacts& facts : extensions_) {
        if (same(facts)) {
            lastFacts_ = &facts;
            return facts;
        }
    }
    ExtensionFacts& facts = extensions_.emplace_back();
    lastFacts_ = &facts;
    facts.asPassed = extension;
    facts.prefix = prefix;
    facts.lowerCased = isBlank(extension) ? std::string() : toLower(extension);
    facts.typeName = GetFileTypeName(*platform_.fileTypes, facts.lowerCased);
    return facts;
}

DateParts RowBuilder::momentOf(AutomationDate date, double timeOfDay)
{
    // The date is a whole day and the time less than one, so no calendar arithmetic is needed
    // beyond a carry at the very end of the day.
    std::int64_t day = dayNumber(date);
    std::int64_t seconds = std::llround(timeOfDay * 86400);
    if (seconds >= 86400) {
        day += seconds / 86400;
        seconds %= 86400;
    }
    if (day != lastCalendarDay_ || !lastCalendar_) {
        lastCalendar_ = datePartsOf(day, 0);
        lastCalendarDay_ = day;
    }
    DateParts parts = *lastCalendar_;
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

const std::string& RowBuilder::shortDateOf(const DateParts& parts)
{
    const std::int64_t day = (static_cast<std::int64_t>(parts.year) * 100 + parts.month) * 100 + parts.day;
    if (lastShortDate_.empty() || day != lastDay_) {
        lastShortDate_.clear();
        platform_.locale->appendShortDate(lastShortDate_, parts);
        lastDay_ = day;
    }
    return lastShortDate_;
}

void RowBuilder::AddListItem(std::string_view baseName, std::string_view extension, std::uint64_t unpackedSize,
                             std::uint64_t packedSize, std::optional<AutomationDate> memberDate,
                             std::optional<double> memberTime, std::string_view crcText)
{
    const std::size_t n = list_.add();
    ExtensionFacts& facts = factsFor(extension);
    const std::string& e = facts.lowerCased;
    const Locale& locale = *platform_.locale;

    list_.fillRow(n, [&](ListRow& row) {
        row.text.reserve(baseName.size() + 1 + e.size());
        appendProperCase(row.text, baseName);
        if (!e.empty()) row.text.append(".").append(e);
        locale.appendGroupedNumber(row.subItems[SizeColumn - 1], unpackedSize);
        locale.appendGroupedNumber(row.subItems[PackedColumn - 1], packedSize);
        row.subItems[TypeColumn - 1] = facts.typeName;
        if (memberDate && memberTime) {
            // Shown: the short date and "hh:mm". Stored: the general date form of the moment,
            // whose date half is the same short date.
            const DateParts moment = momentOf(*memberDate, *memberTime);
            const std::string& shortDate = shortDateOf(moment);
            RowText& shown = row.subItems[ModifiedColumn - 1];
            shown.reserve(shortDate.size() + 8);
            shown.append(shortDate).push_back(' ');
            locale.appendShortTime(shown, moment);
            RowText& stored = row.subItems[DateColumn - 1];
            stored.reserve(shortDate.size() + 16);
            stored.append(shortDate);
            if (moment.hour != 0 || moment.minute != 0 || moment.second != 0) {
                stored.push_back(' ');
                locale.appendLongTime(stored, moment);
            }
        }
        row.subItems[CrcColumn - 1] = crcText;
    });

    if (e.empty()) {
        list_.setIcons(n, defaultIconKey);
        return;
    }
    // Within one archive the answer for an extension stands, found or not; the next archive
    // asks the desktop again.
    if (facts.iconKey.empty()) facts.iconKey = iconKeyFor(extension, e);
    list_.setIcons(n, facts.iconKey);
}

std::string RowBuilder::iconKeyFor(std::string_view extension, const std::string& e)
{
    std::string key = "x" + e;
    if (HasIconKey(e, smallIcons_)) return key;

    const std::optional<IconLocation> location = platform_.fileTypes->icon(extension);
    if (!location) return std::string(defaultIconKey);
    const Picture icon = platform_.icons->loadIcon(location->file, location->index);
    if (!icon) return std::string(defaultIconKey);

    // The 32 x 32 picture goes to the large icons as drawn; the small icons get it as an icon,
    // with the lists' mask colour made transparent, reduced to 16 x 16.
    scratch_.add(key, icon);
    largeIcons_.add(key, icon);
    smallIcons_.add(key, scratch_.extractIcon(1));
    scratch_.clear();
    return key;
}

} // namespace quenarch
