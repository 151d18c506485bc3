#include "listing/row_builder.h"

#include "listing/file_types.h"
#include "platform/text_case.h"

#include <algorithm>
#include <array>

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
        const std::size_t start = out.size();
        out.append(text);
        for (auto c = out.begin() + static_cast<std::ptrdiff_t>(start) + 1; c != out.end(); ++c)
            if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c | 0x20);
        char& first = out[start];
        if (first >= 'a' && first <= 'z') first = static_cast<char>(first & ~0x20);
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
    lastFacts_ = nullptr;
    extensions_.clear();
    lastShortDate_.clear();
}

RowBuilder::ExtensionFacts& RowBuilder::factsFor(std::string_view extension)
{
    if (lastFacts_ != nullptr && lastExtension_ == extension) return *lastFacts_;
    // The type description and the lower-cased form are worked out once per extension and
    // archive; the registry does not change while an archive is read.
    auto found = extensions_.find(std::string(extension));
    if (found == extensions_.end()) {
        ExtensionFacts facts;
        facts.lowerCased = isBlank(extension) ? std::string() : toLower(extension);
        facts.typeName = GetFileTypeName(*platform_.registry, facts.lowerCased);
        found = extensions_.emplace(std::string(extension), std::move(facts)).first;
    }
    lastExtension_ = extension;
    lastFacts_ = &found->second;
    return found->second;
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
    const ExtensionFacts& facts = factsFor(extension);
    const std::string& e = facts.lowerCased;

    std::string name;
    name.reserve(baseName.size() + 1 + e.size());
    appendProperCase(name, baseName);
    if (!e.empty()) name.append(".").append(e);

    const Locale& locale = *platform_.locale;
    std::array<std::string, 6> cells;
    cells[SizeColumn - 1] = locale.groupedNumber(unpackedSize);
    cells[PackedColumn - 1] = locale.groupedNumber(packedSize);
    cells[TypeColumn - 1] = facts.typeName;
    if (memberDate && memberTime) {
        // Shown: the short date and "hh:mm". Stored: the general date form of the moment, whose
        // date half is the same short date.
        const DateParts moment = splitDate(combineDateAndTime(*memberDate, *memberTime));
        const std::string& shortDate = shortDateOf(moment);
        std::string& shown = cells[ModifiedColumn - 1];
        shown.reserve(32);
        shown.append(shortDate).push_back(' ');
        locale.appendShortTime(shown, moment);
        std::string& stored = cells[DateColumn - 1];
        stored.reserve(48);
        stored.append(shortDate);
        if (moment.hour != 0 || moment.minute != 0 || moment.second != 0) {
            stored.push_back(' ');
            locale.appendLongTime(stored, moment);
        }
    }
    cells[CrcColumn - 1] = crcText;
    list_.setTexts(n, std::move(name), std::move(cells));

    std::string key;
    if (e.empty()) {
        key = defaultIconKey;
    } else if (!facts.iconKey.empty()) {
        key = facts.iconKey;
    } else {
        key = iconKeyFor(extension, e);
        // A failed look-up is not remembered: the next member with the extension tries again.
        if (key != defaultIconKey) factsFor(extension).iconKey = key;
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
