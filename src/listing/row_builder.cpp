#include "listing/row_builder.h"

#include "listing/file_types.h"
#include "platform/text_case.h"

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

std::string ProperCase(std::string_view text)
{
    if (text.empty()) return {};
    const std::size_t first = firstCharacterLength(text);
    return toUpper(text.substr(0, first)) + toLower(text.substr(first));
}

bool HasIconKey(std::string_view extension, const ImageList& imageList)
{
    return imageList.find("x" + std::string(extension)) != nullptr;
}

RowBuilder::RowBuilder(ListView& list, ImageList& smallIcons, ImageList& largeIcons, ImageList& scratch, const Platform& platform)
    : list_(list), smallIcons_(smallIcons), largeIcons_(largeIcons), scratch_(scratch), platform_(platform)
{
}

void RowBuilder::AddListItem(std::string_view baseName, std::string_view extension, std::uint64_t unpackedSize,
                             std::uint64_t packedSize, std::optional<AutomationDate> memberDate,
                             std::optional<double> memberTime, std::string_view crcText)
{
    const std::size_t n = list_.add();
    const std::string e = isBlank(extension) ? std::string() : toLower(extension);

    std::string name = ProperCase(baseName);
    if (!e.empty()) name.append(".").append(e);
    list_.setText(n, std::move(name));

    const Locale& locale = *platform_.locale;
    list_.setSubItem(n, SizeColumn, locale.groupedNumber(unpackedSize));
    list_.setSubItem(n, PackedColumn, locale.groupedNumber(packedSize));
    list_.setSubItem(n, TypeColumn, GetFileTypeName(*platform_.registry, e));
    if (memberDate && memberTime) {
        std::string shown;
        locale.appendGeneralDate(shown, *memberDate);
        shown.push_back(' ');
        locale.appendShortTime(shown, *memberTime);
        list_.setSubItem(n, ModifiedColumn, std::move(shown));
        list_.setSubItem(n, DateColumn, locale.generalDate(combineDateAndTime(*memberDate, *memberTime)));
    }
    list_.setSubItem(n, CrcColumn, std::string(crcText));

    const std::string key = e.empty() ? std::string(defaultIconKey) : iconKeyFor(extension, e);
    list_.setSmallIcon(n, key);
    list_.setIcon(n, key);
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
