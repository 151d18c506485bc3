#pragma once

#include "quenarch/listing/font.h"
#include "quenarch/listing/image_list.h"
#include "quenarch/listing/large_block_resource.h"
#include "quenarch/base/locale.h"

#include <array>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quenarch {

// The texts of rows live in an arena of their list, given back all at once when the list is
// emptied: a listing of 100,000 rows would otherwise cost 400,000 separate allocations.
using RowText = std::pmr::string;

// One row of the list: its text, six sub-item texts and the keys of its two icons.
struct ListRow {
    explicit ListRow(std::pmr::memory_resource* texts)
        : text(texts), subItems{RowText(texts), RowText(texts), RowText(texts), RowText(texts), RowText(texts), RowText(texts)}
    {
    }

    RowText text;
    std::array<RowText, 6> subItems; // SubItems(1) to SubItems(6)
    // Icon keys point at the one copy of each key that their list keeps.
    std::string_view icon;      // key in the large-icon list
    std::string_view smallIcon; // key in the small-icon list
    bool selected = false;
};

enum class ColumnAlignment { Left, Right };

// How a column's cells compare when the list is sorted by it.
enum class SortKind { Text, Number, Moment };

struct ColumnHeader {
    std::string caption;
    std::int32_t width = 0; // twips
    ColumnAlignment alignment = ColumnAlignment::Left;
    SortKind sortKind = SortKind::Text;
};

enum class ViewMode : std::int32_t { Icon = 0, SmallIcon = 1, List = 2, Report = 3 };

// What a toolkit view follows to stay in step with the list. Rows are 1-based.
class ListViewObserver {
public:
    virtual ~ListViewObserver() = default;
    virtual void rowsReset() {}
    virtual void rowsAppended(std::size_t /*first*/, std::size_t /*count*/) {}
    virtual void rowChanged(std::size_t /*index*/) {}
    virtual void rowsReordered() {}
    virtual void selectionChanged(std::size_t /*index*/) {}
    virtual void scrollRequested(std::size_t /*index*/) {}
    virtual void viewModeChanged() {}
    virtual void appearanceChanged() {}
    virtual void geometryChanged() {}
    virtual void imageListsChanged() {}
    virtual void repaintRequested() {}
};

// The list of rows the control shows, with its columns, sorting, appearance and placement. It
// holds no toolkit object; a view draws it by following its observer notices.
class ListView {
public:
    explicit ListView(std::vector<ColumnHeader> columns);

    const std::vector<ColumnHeader>& columns() const { return columns_; }

    // Rows, counted from 1 as hosts count them.
    std::size_t count() const { return rows_.size(); }
    // Makes room for this many more rows.
    void reserve(std::size_t additionalRows) { rows_.reserve(rows_.size() + additionalRows); }
    // Appends an empty row at the end and returns its index.
    std::size_t add();
    void clear();
    // Raises "Index out of bounds" outside 1..count.
    const ListRow& row(std::size_t index) const;
    void setText(std::size_t index, std::string_view text);
    // Lets fill write a row's text and sub-items in place, then announces the change once.
    template <typename Fill>
    void fillRow(std::size_t index, Fill&& fill)
    {
        fill(mutableRow(index));
        rowTextsChanged(index);
    }
    // k from 1 to 6; raises "Index out of bounds" outside.
    void setSubItem(std::size_t index, std::size_t k, std::string_view text);
    // Raises "Element not found" when the bound image list has no picture under the key.
    void setIcon(std::size_t index, std::string_view key);
    void setSmallIcon(std::size_t index, std::string_view key);
    // Sets the small and the large icon to the same key.
    void setIcons(std::size_t index, std::string_view key);

    // Selects one row, clearing any other selection; 0 selects none.
    void select(std::size_t index);
    std::size_t selectedIndex() const { return selected_; }
    void ensureVisible(std::size_t index);

    // Rows appended between these calls are announced once, at the end, and sorted then when
    // the list is sorted; a row being filled stays at the end meanwhile.
    void beginUpdate();
    void endUpdate();

    bool sorted() const { return sorted_; }
    void setSorted(bool sorted);
    std::int32_t sortKey() const { return sortKey_; }
    void setSortKey(std::int32_t key);
    std::int32_t sortOrder() const { return sortOrder_; }
    void setSortOrder(std::int32_t order);
    // Sets key, direction and the sorted flag together, sorting at most once.
    void setSortSettings(std::int32_t key, std::int32_t order, bool sorted);
    // Numbers and moments are read by these conventions when sorting.
    void setLocale(std::shared_ptr<const Locale> locale) { locale_ = std::move(locale); }

    ViewMode view() const { return view_; }
    // Raises "Invalid property value" for a mode other than 0 to 3.
    void setView(std::int32_t mode);

    std::uint32_t backColor() const { return backColor_; }
    void setBackColor(std::uint32_t color);
    std::uint32_t foreColor() const { return foreColor_; }
    void setForeColor(std::uint32_t color);
    const FontRef& font() const { return font_; }
    // Raises "Invalid property value" (380) for no font, or one whose size no font is drawn at.
    void setFont(FontRef font);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool visible() const { return visible_; }
    void setVisible(bool visible);

    // Placement inside the control, in twips.
    std::int32_t left() const { return left_; }
    std::int32_t top() const { return top_; }
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    void setLeft(std::int32_t twips);
    void setWidth(std::int32_t twips);
    void setHeight(std::int32_t twips);

    ImageList* icons() const { return icons_; }
    ImageList* smallIcons() const { return smallIcons_; }
    void setIcons(ImageList* list);
    void setSmallIcons(ImageList* list);

    void refresh();

    void setObserver(ListViewObserver* observer) { observer_ = observer; }

private:
    ListRow& mutableRow(std::size_t index);
    void rowTextsChanged(std::size_t index);
    void sortRows();

    template <typename Notice>
    void notify(Notice notice)
    {
        if (observer_ != nullptr) notice(*observer_);
    }

    std::vector<ColumnHeader> columns_;
    LargeBlockResource largeBlocks_;
    std::pmr::monotonic_buffer_resource texts_{&largeBlocks_};
    std::pmr::vector<ListRow> rows_{&largeBlocks_};
    std::size_t selected_ = 0;
    int updateDepth_ = 0;
    std::size_t firstPending_ = 0; // first row appended during the current update, 1-based; 0 none
    bool resetPending_ = false;

    bool sorted_ = false;
    std::int32_t sortKey_ = 0;
    std::int32_t sortOrder_ = 0;
    std::shared_ptr<const Locale> locale_ = std::make_shared<Locale>();

    ViewMode view_ = ViewMode::Icon;
    std::uint32_t backColor_ = 0x80000005;
    std::uint32_t foreColor_ = 0x80000008;
    FontRef font_ = std::make_shared<Font>();
    bool enabled_ = true;
    bool visible_ = true;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    ImageList* icons_ = nullptr;
    ImageList* smallIcons_ = nullptr;
    // The one copy of every icon key that rows have used since the list was last emptied.
    std::string_view internIconKey(std::string_view key);
    std::set<std::string, std::less<>> iconKeys_;
    // The keys found in both bound lists since the lists were last bound or changed.
    struct CheckedKeys {
        std::unordered_set<std::string_view> keys; // views of iconKeys_
        const ImageList* small = nullptr;
        std::uint64_t smallRevision = 0;
        const ImageList* large = nullptr;
        std::uint64_t largeRevision = 0;
    } checked_;
    ListViewObserver* observer_ = nullptr;
};

} // namespace quenarch
