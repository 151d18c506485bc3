#include "quenarch/listing/row_builder.h"

#include "quenarch/base/blank_text.h"
#include "quenarch/base/text_case.h"
#include "quenarch/listing/file_types.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quenarch {
namespace {

constexpr std::string_view defaultIconKey = "default";
constexpr std::int64_t secondsPerDay = 86400;


std::uint64_t prefixOf(std::string_view text)
{
    std::uint64_t prefix = 0;
    const std::size_t length = std::min<std::size_t>(text.size(), sizeof prefix);
    for (std::size_t i = 0; i < length; ++i) prefix |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    return prefix;
}

} // namespace

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
    ExtensionFacts* found = lastFacts_ != nullptr && same(*lastFacts_) ? lastFacts_ : nullptr;
    for (auto facts = extensions_.begin(); found == nullptr && facts != extensions_.end(); ++facts)
        if (same(*facts)) found = &*facts;
    if (found == nullptr) {
        found = &extensions_.emplace_back();
        found->asPassed = extension;
        found->prefix = prefix;
        found->lowerCased = isBlank(extension) ? std::string() : toLower(extension);
        found->typeName = GetFileTypeName(*platform_.fileTypes, found->lowerCased);
        found->listGeneration = list_.generation() + 1; // shared below
    }
    lastFacts_ = found;
    // A list emptied since (a host may empty it while a reader lets it handle messages) has
    // forgotten what its rows shared.
    if (found->listGeneration != list_.generation()) {
        found->shared = list_.shareExtension(found->asPassed, found->lowerCased, found->typeName);
        if (!found->iconKey.empty()) found->iconNumber = list_.iconKeyNumber(found->iconKey);
        found->listGeneration = list_.generation();
    }
    return *found;
}

RowMoment RowBuilder::momentOf(AutomationDate date, double timeOfDay)
{
    // The date is a whole day and the time less than one, so no calendar arithmetic is needed
    // beyond a carry at the very end of the day.
    std::int64_t day = dayNumber(date);
    std::int64_t seconds = std::llround(timeOfDay * secondsPerDay);
    const std::int64_t carried = seconds >= 0 ? seconds / secondsPerDay : -((secondsPerDay - 1 - seconds) / secondsPerDay);
    day += carried;
    seconds -= carried * secondsPerDay;
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    return {static_cast<std::int32_t>(std::clamp(day, lowest, highest)), static_cast<std::int32_t>(seconds)};
}

void RowBuilder::AddListItem(const ListingMember& member)
{
    ExtensionFacts& facts = factsFor(member.extension);
    MemberValues values{.baseName = member.baseName,
                        .extension = facts.shared,
                        .path = member.path,
                        .isDirectory = member.isDirectory,
                        .unpackedSize = member.unpackedSize,
                        .packedSize = member.packedSize,
                        .moment = std::nullopt,
                        .crc = member.crc};
    if (member.date && member.time) values.moment = momentOf(*member.date, *member.time);
    const std::size_t n = list_.addMember(values);

    // Within one archive the answer for an extension stands, found or not; the next archive
    // asks the desktop again.
    if (facts.iconKey.empty()) {
        facts.iconKey = facts.lowerCased.empty() ? std::string(defaultIconKey) : iconKeyFor(member.extension, facts.lowerCased);
        facts.iconNumber = list_.iconKeyNumber(facts.iconKey);
    }
    list_.setIcons(n, facts.iconNumber);
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
