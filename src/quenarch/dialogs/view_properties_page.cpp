#include "quenarch/dialogs/view_properties_page.h"

#include "quenarch/base/file_search.h"
#include "quenarch/control/dispatch.h"
#include "quenarch/control/quen_archive.h"

namespace quenarch {
namespace {

Variant readProperty(QuenArchive& control, std::string_view name)
{
    return QuenArchiveDispatch(control).invoke(name, InvokePropertyGet, {});
}

void writeProperty(QuenArchive& control, std::string_view name, Variant value)
{
    QuenArchiveDispatch(control).invoke(name, InvokePropertyPut, std::span<const Variant>(&value, 1));
}

// 1 for a property that is True (all bits set), 0 for False.
std::int32_t checkValueOf(const Variant& value, const Locale& locale) { return toLong(value, locale) & 1; }

} // namespace

ViewPropertiesPage::ViewPropertiesPage(PropertyPageSite& site, std::string startFolder)
    : site_(site), folder_(std::move(startFolder)), fileFolder_(folder_)
{
}

void ViewPropertiesPage::SelectionChanged()
{
    const std::vector<QuenArchive*> controls = site_.selectedControls();
    if (controls.empty()) return;
    QuenArchive& first = *controls.front();
    const Locale& locale = *first.platform().locale;
    setVisibleValue(checkValueOf(readProperty(first, "Visible"), locale));
    setEnabledValue(checkValueOf(readProperty(first, "Enabled"), locale));
    setArchiveText(toText(readProperty(first, "Archive"), locale));

    Loading = true;
    viewIndex_ = -1;
    // A View text whose first character is not one of the four modes leaves no entry chosen.
    const std::string view = toText(readProperty(first, "View"), locale);
    if (!view.empty() && view.front() >= '0' && view.front() <= '3') setViewIndex(view.front() - '0');
    Loading = false;
}

void ViewPropertiesPage::ApplyChanges()
{
    const std::vector<QuenArchive*> controls = site_.selectedControls();
    if (controls.empty()) return;
    QuenArchive& first = *controls.front();
    writeProperty(first, "Visible", Variant(visibleValue_ == checked));
    writeProperty(first, "Enabled", Variant(enabledValue_ == checked));
    writeProperty(first, "Archive", Variant(archiveText_));
    // With no entry chosen there is no view to write: -1 would read as the icon view.
    if (viewIndex_ >= 0)
        for (QuenArchive* control : controls) writeProperty(*control, "View", Variant(static_cast<std::int16_t>(viewIndex_)));
    site_.processMessages();
}

void ViewPropertiesPage::setArchiveText(std::string text)
{
    if (text == archiveText_) return;
    archiveText_ = std::move(text);
    site_.setChanged();
}

void ViewPropertiesPage::setVisibleValue(std::int32_t value)
{
    if (value == visibleValue_) return;
    visibleValue_ = value;
    site_.setChanged();
}

void ViewPropertiesPage::setEnabledValue(std::int32_t value)
{
    if (value == enabledValue_) return;
    enabledValue_ = value;
    site_.setChanged();
}

void ViewPropertiesPage::setViewIndex(std::int32_t index)
{
    if (index < -1 || index >= static_cast<std::int32_t>(viewEntries.size())) return;
    viewIndex_ = index;
    viewListClicked();
}

void ViewPropertiesPage::viewListClicked()
{
    if (!Loading) site_.setChanged();
}

void ViewPropertiesPage::chooseDrive(std::string drive)
{
    drive_ = std::move(drive);
    chooseFolder(drive_);
}

void ViewPropertiesPage::chooseFolder(std::string folder)
{
    folder_ = std::move(folder);
    fileFolder_ = folder_;
}

void ViewPropertiesPage::clickFile(std::string_view fileName)
{
    const bool endsInSeparator = !folder_.empty() && folder_.back() == '/';
    setArchiveText(folder_ + (endsInSeparator ? "" : "/") + std::string(fileName));
}

bool ViewPropertiesPage::matchesFilePattern(std::string_view fileName)
{
    std::string_view masks = filePattern;
    while (!masks.empty()) {
        const std::size_t end = std::min(masks.find(';'), masks.size());
        std::string_view mask = masks.substr(0, end);
        while (!mask.empty() && mask.back() == ' ') mask.remove_suffix(1);
        while (!mask.empty() && mask.front() == ' ') mask.remove_prefix(1);
        if (!mask.empty() && matchesWildcard(fileName, mask)) return true;
        masks.remove_prefix(std::min(end + 1, masks.size()));
    }
    return false;
}

} // namespace quenarch
