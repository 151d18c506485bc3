#include "quenarch/listing/list_view.h"

#include "quenarch/base/automation_error.h"
#include "quenarch/base/hex_text.h"
#include "quenarch/base/utf8.h"
#include "quenarch/listing/proper_case.h"
#include "quenarch/listing/row_order.h"

#include <cmath>

namespace quenarch {
namespace {

// Days of the calendar that a date text reads back as: years 100 to 9999.
bool readableDay(std::int32_t day) { return day >= minAutomationDate && day <= std::floor(maxAutomationDate); }

} // namespace

std::string ListRow::text(std::size_t column) const
{
    std::string out;
    appendText(out, column);
    return out;
}

std::string_view ListRow::text(std::size_t column, std::string& scratch) const
{
    if (record_->hostWrote(column)) return list_->rows_.hostText(*record_, column);
    if (!record_->has(RowRecord::member)) return {};
    if (column == TypeColumn) return list_->rows_.extension(record_->extension).typeText;
    scratch.clear();
    appendMemberText(scratch, column);
    return scratch;
}

std::optional<std::size_t> ListRow::knownCharacters(std::size_t column) const
{
    if ((column != NameColumn && column != TypeColumn) || !holdsMember(column)) return std::nullopt;
    const SharedExtension& extension = list_->rows_.extension(record_->extension);
    if (column == TypeColumn) return extension.typeCharacters;
    if (!record_->has(RowRecord::asciiBase)) return std::nullopt;
    return record_->base.view().size() + (extension.shown.empty() ? 0 : 1 + extension.shownCharacters);
}

std::size_t ListRow::characters(std::size_t column, std::string& scratch) const
{
    if (const auto known = knownCharacters(column)) return *known;
    return utf8CharacterCount(text(column, scratch));
}

std::size_t ListRow::appendCountedText(std::string& out, std::size_t column) const
{
    const std::size_t start = out.size();
    appendText(out, column);
    if (const auto known = knownCharacters(column)) return *known;
    return utf8CharacterCount(std::string_view(out).substr(start));
}

void ListRow::appendText(std::string& out, std::size_t column) const
{
    if (record_->hostWrote(column))
        out.append(list_->rows_.hostText(*record_, column));
    else if (record_->has(RowRecord::member))
        appendMemberText(out, column);
}

void ListRow::appendMemberText(std::string& out, std::size_t column) const
{
    const Locale& locale = *list_->locale_;
    const RowRecord& r = *record_;
    switch (column) {
    case NameColumn: {
        const std::string& shown = list_->rows_.extension(r.extension).shown;
        appendProperCase(out, r.base.view());
        if (!shown.empty()) out.append(".").append(shown);
        break;
    }
    case SizeColumn:
        locale.appendGroupedNumber(out, r.unpackedSize);
        break;
    case PackedColumn:
        locale.appendGroupedNumber(out, r.packedSize);
        break;
    case TypeColumn:
        out.append(list_->rows_.extension(r.extension).typeText);
        break;
    case ModifiedColumn:
    case DateColumn: {
        if (!r.has(RowRecord::hasMoment)) break;
        // Shown: the short date and "hh:mm". Stored: the general date form, whose date half is
        // the same short date and which leaves out a time of exactly midnight.
        MomentTexts& texts = list_->momentTexts_;
        texts.appendShortDate(out, r.moment.day);
        if (column == ModifiedColumn) {
            out.push_back(' ');
            texts.appendShortTime(out, r.moment.second);
        } else if (r.moment.second != 0) {
            out.push_back(' ');
            locale.appendLongTime(out, datePartsOf(r.moment.day, r.moment.second));
        }
        break;
    }
    case CrcColumn:
        appendUpperHex(out, r.crc);
        break;
    default:
        break;
    }
}

std::optional<std::uint64_t> ListRow::unpackedSize() const
{
    return holdsMember(SizeColumn) ? std::optional(record_->unpackedSize) : std::nullopt;
}

std::optional<std::uint64_t> ListRow::packedSize() const
{
    return holdsMember(PackedColumn) ? std::optional(record_->packedSize) : std::nullopt;
}

std::optional<std::uint32_t> ListRow::crc() const
{
    return holdsMember(CrcColumn) ? std::optional(record_->crc) : std::nullopt;
}

std::optional<AutomationDate> ListRow::moment(std::size_t column) const
{
    if (holdsMember(column) && (column == ModifiedColumn || column == DateColumn)) {
        const RowRecord& r = *record_;
        if (!r.has(RowRecord::hasMoment) || !readableDay(r.moment.day)) return std::nullopt;
        // The Modified cell shows the time to the minute.
        const std::int32_t second = column == ModifiedColumn ? r.moment.second - r.moment.second % 60 : r.moment.second;
        return dateFromDayAndSecond(r.moment.day, second);
    }
    std::string scratch;
    return list_->locale_->parseDate(text(column, scratch));
}

std::optional<double> ListRow::number(std::size_t column) const
{
    if (const auto size = column == SizeColumn ? unpackedSize() : column == PackedColumn ? packedSize() : std::nullopt)
        return static_cast<double>(*size);
    std::string scratch;
    return list_->locale_->parseNumber(text(column, scratch));
}

std::string ListRow::path() const
{
    const RowRecord& r = *record_;
    if (!r.has(RowRecord::member)) return {};
    std::string path(r.path.view());
    if (!r.has(RowRecord::pathEndsWithName)) return path;
    path.append(r.base.view());
    const std::string& extension = list_->rows_.extension(r.extension).asPassed;
    if (!extension.empty()) path.append(".").append(extension);
    return path;
}

std::string_view ListRow::icon() const { return list_->rows_.iconKey(record_->icon); }

std::string_view ListRow::smallIcon() const { return list_->rows_.iconKey(record_->smallIcon); }

ListView::ListView(std::vector<ColumnHeader> columns) : columns_(std::move(columns)) { momentTexts_.setLocale(locale_.get()); }

void ListView::setLocale(std::shared_ptr<const Locale> locale)
{
    locale_ = std::move(locale);
    momentTexts_.setLocale(locale_.get());
}

void ListView::beforeRowCountChange()
{
    if (resetOpen_) return;
    resetOpen_ = true;
    notifyRows([](ListRowObserver& o) { o.rowsAboutToBeReset(); });
}

std::size_t ListView::add()
{
    rows_.reserveOneMore();
    const std::size_t index = rows_.size() + 1;
    if (updateDepth_ > 0) {
        beforeRowCountChange();
        rows_.append(RowRecord());
        return index;
    }
    // A row appended outside an update stays at the end, where its filler looks for it, until
    // the list is sorted again.
    notifyRows([&](ListRowObserver& o) { o.rowsAboutToBeAppended(index, 1); });
    rows_.append(RowRecord());
    notifyRows([](ListRowObserver& o) { o.rowsAppended(); });
    return index;
}

std::size_t ListView::addMember(const MemberValues& member)
{
    if (!rows_.knowsExtension(member.extension)) throw errors::indexOutOfBounds();
    const RowRecord record = rows_.memberRecord(member);
    rows_.reserveOneMore();
    const std::size_t index = rows_.size() + 1;
    if (updateDepth_ > 0) {
        beforeRowCountChange();
        rows_.append(record);
        return index;
    }
    notifyRows([&](ListRowObserver& o) { o.rowsAboutToBeAppended(index, 1); });
    rows_.append(record);
    notifyRows([](ListRowObserver& o) { o.rowsAppended(); });
    return index;
}

ExtensionId ListView::shareExtension(std::string_view asPassed, std::string_view shown, std::string_view typeText)
{
    return rows_.shareExtension(asPassed, shown, typeText);
}

void ListView::clear()
{
    if (updateDepth_ > 0)
        beforeRowCountChange();
    else
        notifyRows([](ListRowObserver& o) { o.rowsAboutToBeReset(); });
    rows_.clear();
    ++generation_;
    checked_.keys.clear();
    selected_ = 0;
    if (updateDepth_ == 0) notifyRows([](ListRowObserver& o) { o.rowsReset(); });
}

std::size_t ListView::position(std::size_t index) const
{
    if (index < 1 || index > rows_.size()) throw errors::indexOutOfBounds();
    return index - 1;
}

ListRow ListView::row(std::size_t index) const { return ListRow(*this, rows_[position(index)]); }

void ListView::rowChanged(std::size_t index)
{
    // Rows changed within a reset reach the observer with it.
    if (!resetOpen_) notifyRows([&](ListRowObserver& o) { o.rowChanged(index); });
}

void ListView::setText(std::size_t index, std::string_view text)
{
    rows_.setHostText(position(index), NameColumn, text);
    rowChanged(index);
}

void ListView::setSubItem(std::size_t index, std::size_t k, std::string_view text)
{
    const std::size_t at = position(index);
    if (k < 1 || k >= listingColumnCount) throw errors::indexOutOfBounds();
    rows_.setHostText(at, k, text);
    rowChanged(index);
}

void ListView::setIcon(std::size_t index, std::string_view key)
{
    const std::size_t at = position(index);
    if (icons_ != nullptr && icons_->find(key) == nullptr) throw errors::elementNotFound();
    rows_[at].icon = rows_.iconKeyNumber(key);
    rowChanged(index);
}

void ListView::setSmallIcon(std::size_t index, std::string_view key)
{
    const std::size_t at = position(index);
    if (smallIcons_ != nullptr && smallIcons_->find(key) == nullptr) throw errors::elementNotFound();
    rows_[at].smallIcon = rows_.iconKeyNumber(key);
    rowChanged(index);
}

void ListView::setIcons(std::size_t index, std::string_view key)
{
    position(index);
    setIcons(index, rows_.iconKeyNumber(key));
}

void ListView::setIcons(std::size_t index, IconKeyNumber number)
{
    const std::size_t at = position(index);
    if (!rows_.knowsIconKey(number)) throw errors::elementNotFound();
    // Rows share few keys: a key found in both lists stays found until either list changes.
    const std::uint64_t smallRevision = smallIcons_ ? smallIcons_->revision() : 0;
    const std::uint64_t largeRevision = icons_ ? icons_->revision() : 0;
    if (checked_.small != smallIcons_ || checked_.smallRevision != smallRevision || checked_.large != icons_ ||
        checked_.largeRevision != largeRevision) {
        checked_.keys.clear();
        checked_.small = smallIcons_;
        checked_.smallRevision = smallRevision;
        checked_.large = icons_;
        checked_.largeRevision = largeRevision;
    }
    if (!checked_.keys.contains(number)) {
        const std::string_view key = rows_.iconKey(number);
        if (smallIcons_ != nullptr && smallIcons_->find(key) == nullptr) throw errors::elementNotFound();
        if (icons_ != nullptr && icons_->find(key) == nullptr) throw errors::elementNotFound();
        checked_.keys.insert(number);
    }
    rows_[at].smallIcon = number;
    rows_[at].icon = number;
    rowChanged(index);
}

void ListView::select(std::size_t index)
{
    if (index != 0) position(index);
    if (selected_ != 0 && selected_ <= rows_.size()) rows_[selected_ - 1].flags &= ~RowRecord::selected;
    selected_ = index;
    if (index != 0) rows_[index - 1].flags |= RowRecord::selected;
    // Within a reset the view learns of the selection when the reset ends.
    if (!resetOpen_) notifyPresentation([&](ListPresentationObserver& o) { o.selectionChanged(index); });
}

void ListView::ensureVisible(std::size_t index)
{
    position(index);
    if (!resetOpen_) notifyPresentation([&](ListPresentationObserver& o) { o.scrollRequested(index); });
}

void ListView::beginUpdate() { ++updateDepth_; }

void ListView::endUpdate()
{
    if (updateDepth_ == 0 || --updateDepth_ > 0) return;
    const bool sort = sorted_ && (resetOpen_ || sortPending_);
    sortPending_ = false;
    try {
        if (sort) sortRows();
    } catch (...) {
        // Unsorted for want of memory, the rows are still announced.
        endReset();
        throw;
    }
    endReset();
}

void ListView::endReset()
{
    if (!resetOpen_) return;
    resetOpen_ = false;
    notifyRows([](ListRowObserver& o) { o.rowsReset(); });
    if (selected_ != 0) notifyPresentation([&](ListPresentationObserver& o) { o.selectionChanged(selected_); });
}

void ListView::setSorted(bool sorted)
{
    setSortSettings(sortKey_, sortOrder_, sorted);
}

void ListView::setSortKey(std::int32_t key)
{
    setSortSettings(key, sortOrder_, sorted_);
}

void ListView::setSortOrder(std::int32_t order)
{
    setSortSettings(sortKey_, order, sorted_);
}

void ListView::setSortSettings(std::int32_t key, std::int32_t order, bool sorted)
{
    sortKey_ = key;
    sortOrder_ = order;
    sorted_ = sorted;
    if (sorted_) {
        if (updateDepth_ > 0)
            sortPending_ = true;
        else
            sortRows();
    }
    notifyPresentation([](ListPresentationObserver& o) { o.sortChanged(); });
}

void ListView::sortRows()
{
    if (rows_.size() < 2) return;
    // A key beyond the sub-items sorts by the row's text.
    const std::size_t key = static_cast<std::size_t>(std::max(sortKey_, 0));
    const SortKind kind = key < columns_.size() ? columns_[key].sortKind : SortKind::Text;
    const std::size_t column = key < listingColumnCount ? key : NameColumn;
    // Everything that needs memory comes before the notice: once announced, the change is made.
    const std::vector<std::size_t> order = sortedPositions(*this, column, kind, sortOrder_ == 1);
    RowStore::Records ordered = rows_.inOrder(order);
    // Within a reset the rows may change in any way without a notice of their own.
    const bool announce = !resetOpen_;
    if (announce) notifyRows([](ListRowObserver& o) { o.rowsAboutToBeReordered(); });
    rows_.putInPlace(std::move(ordered));
    selected_ = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].has(RowRecord::selected)) selected_ = i + 1;
    if (announce) notifyRows([&](ListRowObserver& o) { o.rowsReordered(order); });
}

void ListView::setView(std::int32_t mode)
{
    if (mode < 0 || mode > 3) throw errors::invalidPropertyValue();
    view_ = static_cast<ViewMode>(mode);
    notifyPresentation([](ListPresentationObserver& o) { o.viewModeChanged(); });
    if (!resetOpen_) notifyRows([](ListRowObserver& o) { o.iconsChanged(); });
}

void ListView::setBackColor(std::uint32_t color)
{
    backColor_ = color;
    notifyPresentation([](ListPresentationObserver& o) { o.appearanceChanged(); });
}

void ListView::setForeColor(std::uint32_t color)
{
    foreColor_ = color;
    notifyPresentation([](ListPresentationObserver& o) { o.appearanceChanged(); });
}

void ListView::setFont(FontRef font)
{
    if (!font || !isDrawableFontSize(font->size)) throw errors::invalidPropertyValue();
    font_ = std::move(font);
    notifyPresentation([](ListPresentationObserver& o) { o.appearanceChanged(); });
}

void ListView::setEnabled(bool enabled)
{
    enabled_ = enabled;
    notifyPresentation([](ListPresentationObserver& o) { o.appearanceChanged(); });
}

void ListView::setVisible(bool visible)
{
    visible_ = visible;
    notifyPresentation([](ListPresentationObserver& o) { o.appearanceChanged(); });
}

void ListView::setLeft(std::int32_t twips)
{
    left_ = twips;
    notifyPresentation([](ListPresentationObserver& o) { o.geometryChanged(); });
}

void ListView::setWidth(std::int32_t twips)
{
    width_ = twips;
    notifyPresentation([](ListPresentationObserver& o) { o.geometryChanged(); });
}

void ListView::setHeight(std::int32_t twips)
{
    height_ = twips;
    notifyPresentation([](ListPresentationObserver& o) { o.geometryChanged(); });
}

void ListView::setIcons(ImageList* list)
{
    icons_ = list;
    if (!resetOpen_) notifyRows([](ListRowObserver& o) { o.iconsChanged(); });
}

void ListView::setSmallIcons(ImageList* list)
{
    smallIcons_ = list;
    if (!resetOpen_) notifyRows([](ListRowObserver& o) { o.iconsChanged(); });
}

void ListView::refresh()
{
    notifyPresentation([](ListPresentationObserver& o) { o.repaintRequested(); });
}

} // namespace quenarch
