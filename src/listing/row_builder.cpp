#include "listing/row_builder.h"

#include "listing/file_types.h"
#include "platform/text_case.h"

#include <algorithm>

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

} // namespace

void appendProperCase(std::string& out, std::string_view text)
{
    if (text.empty()) return;
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; };
        out.push_back(text.front() >= 'a' && text.front() <= 'z' ? static_cast<char>(text.front() & ~0x20) : text.front());
        for (const char c : text.substr(1)) out.push_back(lower(c));
        return;
    }
    const std::size_t first = firstCharacterLength(text);
    out.append(toUpper(text.substr(0, first)));
    out.append(toLower(text.substr(first)));
}

std::string ProperCase(std::string_view text)
{
    std::string out;
    appendProperCase(out, text);
    return out;
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
    extensions_.clear();
    lastShortDate_.clear();
}

RowBuilder::ExtensionFacts& RowBuilder::factsFor(std::string_view extension)
{
    // The type description and the lower-cased form are worked out once per extension and
    // archive; the registry does not change while an archive is read.
    auto found = extensions_.find(std::string(extension));
    if (found != extensions_.end()) return found->second;
    ExtensionFacts facts;
    facts.lowerCased = isBlank(extension) ? std::string() : toLower(extension);
    facts.typeName = GetFileTypeName(*platform_.registry, facts.lowerCased);
    return extensions_.emplace(std::string(extension), std::move(facts)).first->second;
}

const std::string& RowBuilder::shortDateOf(AutomationDate date)
{
    const std::int64_t day = dayNumber(date);
    if (lastShortDate_.empty() || day != lastDay_) {
        lastShortDate_.clear();
        platform_.locale->appendShortDate(lastShortDate_, date);
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

    std::string name;
    name.reserve(baseName.size() + 1 + e.size());
    appendProperCase(name, baseName);
    if (!e.empty()) name.append(".").append(e);
    list_.setText(n, std::move(name));

    const Locale& locale = *platform_.locale;
    list_.setSubItem(n, SizeColumn, locale.groupedNumber(unpackedSize));
    list_.setSubItem(n, PackedColumn, locale.groupedNumber(packedSize));
    list_.setSubItem(n, TypeColumn, facts.typeName);
    if (memberDate && memberTime) {
        // Shown: the short date and "hh:mm". Stored: the general date form of the moment, whose
        // date half is the same short date.
        const AutomationDate moment = combineDateAndTime(*memberDate, *memberTime);
        std::string shown;
        shown.reserve(32);
        shown.append(shortDateOf(*memberDate)).push_back(' ');
        locale.appendShortTime(shown, moment);
        list_.setSubItem(n, ModifiedColumn, std::move(shown));
        std::string stored;
        stored.reserve(48);
        stored.append(shortDateOf(moment));
        if (secondOfDay(moment) != 0) {
            stored.push_back(' ');
            locale.appendLongTime(stored, moment);
        }
        list_.setSubItem(n, DateColumn, std::move(stored));
    }
    list_.setSubItem(n, CrcColumn, std::string(crcText));

    std::string key;
    if (e.empty()) {
        key = defaultIconKey;
    } else if (!facts.iconKey.empty()) {
        key = facts.iconKey;
    } else {
        key = iconKeyFor(extension, e);
        // A failed look-up is not remembered: the next member with the extension tries again.
        if (key != defaultIconKey) facts.iconKey = key;
    }
    list_.setSmallIcon(n, key);
    list_.setIcon(n, std::move(key));
}

std::string RowBuilder::iconKeyFor(std::string_view extension, const std::string& e)
{
    std::string key = "x" + e;
    if (HasIconKey(e, smallIcons_)) return key;

    const std::optional<IconLocation> location = GetDefaultIcon(*platform_.registry, extension, *platform_.locale);
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
