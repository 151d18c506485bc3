#include "quenarch/listing/list_view.h"

#include "quenarch/base/automation_error.h"
#include "quenarch/base/text_case.h"

#include <algorithm>
#include <numeric>

namespace quenarch {

ListView::ListView(std::vector<ColumnHeader> columns) : columns_(std::move(columns)) {}

std::size_t ListView::add()
{
    rows_.emplace_back(&texts_);
    const std::size_t index = rows_.size();
    if (updateDepth_ > 0) {
        if (firstPending_ == 0) firstPending_ = index;
    } else {
        // A row appended outside an update stays at the end, where its filler looks for it,
        // until the list is sorted again.
        notify([&](ListViewObserver& o) { o.rowsAppended(index, 1); });
    }
    return index;
}

void ListView::clear()
{
    rows_.clear();
    texts_.release();
    iconKeys_.clear();
    checked_.keys.clear();
    selected_ = 0;
    if (updateDepth_ > 0) {
        firstPending_ = 0;
        resetPending_ = true;
        return;
    }
    notify([](ListViewObserver& o) { o.rowsReset(); });
}

ListRow& ListView::mutableRow(std::size_t index)
{
    if (index < 1 || index > rows_.size()) throw errors::indexOutOfBounds();
    return rows_[index - 1];
}

const ListRow& ListView::row(std::size_t index) const
{
    if (index < 1 || index > rows_.size()) throw errors::indexOutOfBounds();
    return rows_[index - 1];
}

namespace {
bool announced(std::size_t index, std::size_t firstPending) { return firstPending == 0 || index < firstPending; }
} // namespace

void ListView::setText(std::size_t index, std::string_view text)
{
    mutableRow(index).text = text;
    if (updateDepth_ == 0 || announced(index, firstPending_)) notify([&](ListViewObserver& o) { o.rowChanged(index); });
}

void ListView::rowTextsChanged(std::size_t index)
{
    if (updateDepth_ == 0 || announced(index, firstPending_)) notify([&](ListViewObserver& o) { o.rowChanged(index); });
}

void ListView::setSubItem(std::size_t index, std::size_t k, std::string_view text)
{
    ListRow& target = mutableRow(index);
    if (k < 1 || k > target.subItems.size()) throw errors::indexOutOfBounds();
    target.subItems[k - 1] = text;
    if (updateDepth_ == 0 || announced(index, firstPending_)) notify([&](ListViewObserver& o) { o.rowChanged(index); });
}

void ListView::setIcon(std::size_t index, std::string_view key)
{
    ListRow& target = mutableRow(index);
    if (icons_ != nullptr && icons_->find(key) == nullptr) throw errors::elementNotFound();
    target.icon = internIconKey(key);
    if (updateDepth_ == 0 || announced(index, firstPending_)) notify([&](ListViewObserver& o) { o.rowChanged(index); });
}

void ListView::setSmallIcon(std::size_t index, std::string_view key)
{
    ListRow& target = mutableRow(index);
    if (smallIcons_ != nullptr && smallIcons_->find(key) == nullptr) throw errors::elementNotFound();
    target.smallIcon = internIconKey(key);
    if (updateDepth_ == 0 || announced(index, firstPending_)) notify([&](ListViewObserver& o) { o.rowChanged(index); });
}

void ListView::setIcons(std::size_t index, std::string_view key)
{
    ListRow& target = mutableRow(index);
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
    auto checked = checked_.keys.find(key);
    if (checked == checked_.keys.end()) {
        if (smallIcons_ != nullptr && smallIcons_->find(key) == nullptr) throw errors::elementNotFound();
        if (icons_ != nullptr && icons_->find(key) == nullptr) throw errors::elementNotFound();
        checked = checked_.keys.insert(internIconKey(key)).first;
    }
    target.smallIcon = *checked;
    target.icon = *checked;
    if (updateDepth_ == 0 || announced(index, firstPending_)) notify([&](ListViewObserver& o) { o.rowChanged(index); });
}

std::string_view ListView::internIconKey(std::string_view key)
{
    auto found = iconKeys_.find(key);
    if (found == iconKeys_.end()) found = iconKeys_.emplace(key).first;
    return *found;
}

void ListView::select(std::size_t index)
{
    if (index != 0) mutableRow(index);
    if (selected_ != 0 && selected_ <= rows_.size()) rows_[selected_ - 1].selected = false;
    selected_ = index;
    if (index != 0) rows_[index - 1].selected = true;
    notify([&](ListViewObserver& o) { o.selectionChanged(index); });
}

void ListView::ensureVisible(std::size_t index)
{
    mutableRow(index);
    notify([&](ListViewObserver& o) { o.scrollRequested(index); });
}

void ListView::beginUpdate() { ++updateDepth_; }

void ListView::endUpdate()
{
    if (updateDepth_ == 0 || --updateDepth_ > 0) return;
    const std::size_t first = firstPending_;
    const bool reset = resetPending_;
    firstPending_ = 0;
    resetPending_ = false;
    if (reset)
        notify([](ListViewObserver& o) { o.rowsReset(); });
    else if (first != 0)
        notify([&](ListViewObserver& o) { o.rowsAppended(first, rows_.size() - first + 1); });
    if ((reset || first != 0) && sorted_) sortRows();
}

void ListView::setSorted(bool sorted)
{
    sorted_ = sorted;
    if (sorted_ && updateDepth_ == 0) sortRows();
}

void ListView::setSortKey(std::int32_t key)
{
    sortKey_ = key;
    if (sorted_ && updateDepth_ == 0) sortRows();
}

void ListView::setSortOrder(std::int32_t order)
{
    sortOrder_ = order;
    if (sorted_ && updateDepth_ == 0) sortRows();
}

void ListView::setSortSettings(std::int32_t key, std::int32_t order, bool sorted)
{
    sortKey_ = key;
    sortOrder_ = order;
    setSorted(sorted);
}

void ListView::sortRows()
{
    if (rows_.size() < 2) return;
    const std::size_t column = static_cast<std::size_t>(std::max(sortKey_, 0));
    const SortKind kind = column < columns_.size() ? columns_[column].sortKind : SortKind::Text;
    const auto cell = [&](const ListRow& r) -> const RowText& {
        return column == 0 || column > r.subItems.size() ? r.text : r.subItems[column - 1];
    };

    // Cells that read as a value come first, ordered by it; the others follow, ordered as text.
    struct Key {
        bool hasValue;
        double value;
        std::string folded;
    };
    std::vector<Key> keys;
    keys.reserve(rows_.size());
    for (const ListRow& r : rows_) {
        const RowText& text = cell(r);
        std::optional<double> value;
        if (kind == SortKind::Number)
            value = locale_->parseNumber(text);
        else if (kind == SortKind::Moment)
            value = locale_->parseDate(text);
        keys.push_back({value.has_value(), value.value_or(0), value ? std::string() : foldCase(text)});
    }
    const bool descending = sortOrder_ == 1;
    const auto less = [&](std::size_t a, std::size_t b) {
        const Key& x = keys[a];
        const Key& y = keys[b];
        if (x.hasValue != y.hasValue) return x.hasValue;
        if (x.hasValue) return x.value < y.value;
        return x.folded < y.folded;
    };
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return descending ? less(b, a) : less(a, b); });

    std::pmr::vector<ListRow> sortedRows(&largeBlocks_);
    sortedRows.reserve(rows_.size());
    for (const std::size_t position : order) sortedRows.push_back(std::move(rows_[position]));
    rows_ = std::move(sortedRows);
    selected_ = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].selected) selected_ = i + 1;
    notify([](ListViewObserver& o) { o.rowsReordered(); });
}

void ListView::setView(std::int32_t mode)
{
    if (mode < 0 || mode > 3) throw errors::invalidPropertyValue();
    view_ = static_cast<ViewMode>(mode);
    notify([](ListViewObserver& o) { o.viewModeChanged(); });
}

void ListView::setBackColor(std::uint32_t color)
{
    backColor_ = color;
    notify([](ListViewObserver& o) { o.appearanceChanged(); });
}

void ListView::setForeColor(std::uint32_t color)
{
    foreColor_ = color;
    notify([](ListViewObserver& o) { o.appearanceChanged(); });
}

void ListView::setFont(FontRef font)
{
    if (!font || !isDrawableFontSize(font->size)) throw errors::invalidPropertyValue();
    font_ = std::move(font);
    notify([](ListViewObserver& o) { o.appearanceChanged(); });
}

void ListView::setEnabled(bool enabled)
{
    enabled_ = enabled;
    notify([](ListViewObserver& o) { o.appearanceChanged(); });
}

void ListView::setVisible(bool visible)
{
    visible_ = visible;
    notify([](ListViewObserver& o) { o.appearanceChanged(); });
}

void ListView::setLeft(std::int32_t twips)
{
    left_ = twips;
    notify([](ListViewObserver& o) { o.geometryChanged(); });
}

void ListView::setWidth(std::int32_t twips)
{
    width_ = twips;
    notify([](ListViewObserver& o) { o.geometryChanged(); });
}

void ListView::setHeight(std::int32_t twips)
{
    height_ = twips;
    notify([](ListViewObserver& o) { o.geometryChanged(); });
}

void ListView::setIcons(ImageList* list)
{
    icons_ = list;
    notify([](ListViewObserver& o) { o.imageListsChanged(); });
}

void ListView::setSmallIcons(ImageList* list)
{
    smallIcons_ = list;
    notify([](ListViewObserver& o) { o.imageListsChanged(); });
}

void ListView::refresh()
{
    notify([](ListViewObserver& o) { o.repaintRequested(); });
}

} // namespace quenarch
