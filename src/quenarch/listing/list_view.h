#pragma once

#include "quenarch/base/locale.h"
#include "quenarch/listing/font.h"
#include "quenarch/listing/image_list.h"
#include "quenarch/listing/list_observers.h"
#include "quenarch/listing/moment_texts.h"
#include "quenarch/listing/row_store.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quenarch {

class ListView;

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

// One row of a list, read through its accessors; valid until the list next changes. Cells are
// numbered by ListingColumn: 0 is the row's text, 1 to 6 its sub-items.
//
// A member's row keeps typed values and writes its texts from them on demand, in the list's
// locale. A cell whose text a host wrote holds that text instead; its typed value is then gone,
// and readers that need a value read it back from the text.
class ListRow {
public:
    std::string text(std::size_t column) const;
    // The cell's text: a view of the text the list keeps where it keeps one, else written into
    // scratch (replacing what it held).
    std::string_view text(std::size_t column, std::string& scratch) const;
    void appendText(std::string& out, std::size_t column) const;
    // The same, returning the characters appended.
    std::size_t appendCountedText(std::string& out, std::size_t column) const;
    // The characters of the cell's text, as text(column) writes it: a member's ASCII name and
    // its type are counted without being written.
    std::size_t characters(std::size_t column, std::string& scratch) const;

    // The member's sizes and CRC; nothing where the cell holds a host's text or the row is no
    // member's.
    std::optional<std::uint64_t> unpackedSize() const;
    std::optional<std::uint64_t> packedSize() const;
    std::optional<std::uint32_t> crc() const;
    // The moment a Modified or Date cell shows (Modified to the minute), from the member's
    // values or read back from a host's text; nothing for a cell that shows none.
    std::optional<AutomationDate> moment(std::size_t column) const;
    // The number a cell shows: a member's size, or read back from the text.
    std::optional<double> number(std::size_t column) const;

    // The member's full stored path ("/" between names) and its folder flag; empty and false
    // for a row that is no member's or whose reader gave no path.
    std::string path() const;
    bool isDirectory() const { return record_->has(RowRecord::directory); }

    // Keys of the large and the small icon; empty when none was set.
    std::string_view icon() const;
    std::string_view smallIcon() const;
    bool selected() const { return record_->has(RowRecord::selected); }

private:
    friend class ListView;
    ListRow(const ListView& list, const RowRecord& record) : list_(&list), record_(&record) {}

    bool holdsMember(std::size_t column) const { return record_->has(RowRecord::member) && !record_->hostWrote(column); }
    void appendMemberText(std::string& out, std::size_t column) const;
    // The characters of a member's cell where they are known without writing it.
    std::optional<std::size_t> knownCharacters(std::size_t column) const;

    const ListView* list_;
    const RowRecord* record_;
};

// The list of rows the control shows, with its columns, sorting, appearance and placement. It
// holds no toolkit object: an item model follows its rows through a ListRowObserver and a view
// presents it through a ListPresentationObserver.
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
    // Appends a member's row, its texts written from its values, and returns its index.
    std::size_t addMember(const MemberValues& member);
    // Keeps what the rows of one extension share, until the list is emptied.
    ExtensionId shareExtension(std::string_view asPassed, std::string_view shown, std::string_view typeText);
    // Counts the emptyings of the list: an ExtensionId holds while this stays the same.
    std::uint64_t generation() const { return generation_; }
    void clear();

    // Raises "Index out of bounds" outside 1..count.
    ListRow row(std::size_t index) const;
    void setText(std::size_t index, std::string_view text);
    // k from 1 to 6; raises "Index out of bounds" outside.
    void setSubItem(std::size_t index, std::size_t k, std::string_view text);
    // Raises "Element not found" when the bound image list has no picture under the key.
    void setIcon(std::size_t index, std::string_view key);
    void setSmallIcon(std::size_t index, std::string_view key);
    // Sets the small and the large icon to the same key.
    void setIcons(std::size_t index, std::string_view key);
    // The number under which the list keeps an icon key until it is emptied (see generation()):
    // rows given the number instead of the key are spared looking it up.
    IconKeyNumber iconKeyNumber(std::string_view key) { return rows_.iconKeyNumber(key); }
    void setIcons(std::size_t index, IconKeyNumber key);

    // Selects one row, clearing any other selection; 0 selects none.
    void select(std::size_t index);
    std::size_t selectedIndex() const { return selected_; }
    void ensureVisible(std::size_t index);

    // Rows appended or removed between these calls reach the row observer as one reset, and
    // are sorted at the end when the list is sorted; a row being filled stays at the end
    // meanwhile.
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
    // The conventions by which members' texts are written, and numbers and moments of texts
    // read back.
    void setLocale(std::shared_ptr<const Locale> locale);
    const Locale& locale() const { return *locale_; }

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

    // One observer of each kind at a time; nullptr for none.
    void setRowObserver(ListRowObserver* observer) { rowObserver_ = observer; }
    void setPresentationObserver(ListPresentationObserver* observer) { presentationObserver_ = observer; }

private:
    friend class ListRow;

    std::size_t position(std::size_t index) const;
    // Opens the reset that an update's changes of the row count go into, once per update, and
    // closes it at the update's end.
    void beforeRowCountChange();
    void endReset();
    void rowChanged(std::size_t index);
    void sortRows();

    template <typename Notice>
    void notifyRows(Notice notice)
    {
        if (rowObserver_ != nullptr) notice(*rowObserver_);
    }
    template <typename Notice>
    void notifyPresentation(Notice notice)
    {
        if (presentationObserver_ != nullptr) notice(*presentationObserver_);
    }

    std::vector<ColumnHeader> columns_;
    RowStore rows_;
    std::uint64_t generation_ = 0;
    std::size_t selected_ = 0;
    int updateDepth_ = 0;
    bool resetOpen_ = false;   // the current update has announced a reset
    bool sortPending_ = false; // the sort settings changed during the current update

    bool sorted_ = false;
    std::int32_t sortKey_ = 0;
    std::int32_t sortOrder_ = 0;
    std::shared_ptr<const Locale> locale_ = std::make_shared<Locale>();
    mutable MomentTexts momentTexts_;

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
    // The keys found in both bound lists since the lists were last bound or changed.
    struct CheckedKeys {
        std::unordered_set<IconKeyNumber> keys;
        const ImageList* small = nullptr;
        std::uint64_t smallRevision = 0;
        const ImageList* large = nullptr;
        std::uint64_t largeRevision = 0;
    } checked_;
    ListRowObserver* rowObserver_ = nullptr;
    ListPresentationObserver* presentationObserver_ = nullptr;
};

} // namespace quenarch
