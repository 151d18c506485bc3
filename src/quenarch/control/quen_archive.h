#pragma once

#include "quenarch/base/automation_error.h"
#include "quenarch/control/host.h"
#include "quenarch/control/property_bag.h"
#include "quenarch/control/variant.h"
#include "quenarch/listing/image_list.h"
#include "quenarch/listing/list_view.h"
#include "quenarch/listing/row_builder.h"
#include "quenarch/platform/platform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quenarch {

struct ArchiveSource;

// The archive viewer control. It lists the members of the archive named by Archive in its list
// view, one row per member, and offers a cursor over the rows. Members carry the names hosts
// call them by; setters of properties are Let<Name> (by value) and Set<Name> (by reference).
class QuenArchive {
public:
    QuenArchive(Host& host, Platform platform);
    ~QuenArchive();
    QuenArchive(const QuenArchive&) = delete;
    QuenArchive& operator=(const QuenArchive&) = delete;

    // Lifecycle, called by the host.
    void ReadProperties(PropertyBag& bag);
    void WriteProperties(PropertyBag& bag);
    void Resize();

    // The list's rows; none until the persisted properties are read. Setting it replaces only
    // this reference, never the rows.
    ListView* ListItems = nullptr;

    Variant Archive() const;
    void LetArchive(const Variant& value);
    // For C++ hosts, outside the dispatch interface: sets Archive to the path as LetArchive does,
    // and lists the archive with the reader, and from the bytes, that the source names.
    void openArchive(const std::string& path, const ArchiveSource& source);

    std::uint32_t BackColor() const;
    void LetBackColor(std::uint32_t color);
    std::uint32_t ForeColor() const;
    void LetForeColor(std::uint32_t color);
    FontRef Font() const;
    void SetFont(FontRef font);
    void LetFont(const FontRef& font);
    bool Enabled() const;
    void LetEnabled(bool enabled);
    bool Visible() const;
    void LetVisible(bool visible);
    Variant View() const;
    void LetView(const Variant& value);

    std::string Version() const;

    // The row cursor: moves return 0 when made and -1 when not. The current row is shared by
    // every control on the thread.
    std::int32_t MoveFirst();
    std::int32_t MoveLast();
    std::int32_t MoveNext();
    std::int32_t MovePrevious();

    // Fields of the current row; an empty text ("<unknown>" for the type) or date 0 when there is
    // no such row. A query made before the first move makes the first row current.
    std::string ItemFileName();
    std::string ItemUnCompressed();
    std::string ItemCompressed();
    std::string ItemFileType();
    AutomationDate ItemDate();
    AutomationDate ItemTime();
    std::string ItemCRC();

    Variant ListCount() const;
    Variant Clear();
    std::string FileComment() const;
    std::string ArchiveType() const;
    // The file name of the path last assigned to Archive on any control, "<None>" when blank.
    std::string filename() const;
    void Refresh();
    void SetFocus();
    // Shows the About box modally; returns when it is closed.
    void ShowAbout();

    // The icon of the row last made current; none before the first move or click.
    quenarch::Picture Picture() const { return picture_; }
    void LetPicture(const quenarch::Picture& picture);

    // What the list reports, as a toolkit view hands it on. Positions are in twips from the
    // list's top-left corner; rows and columns count from 1.
    void listClick();
    void listDblClick();
    void listMouseDown(std::int16_t& button, std::int16_t& shift, float x, float y);
    void listMouseMove(std::int16_t& button, std::int16_t& shift, float x, float y);
    void listMouseUp(std::int16_t& button, std::int16_t& shift, float x, float y);
    void listItemClick(std::size_t row);
    void listColumnClick(std::int32_t column);

    // What a toolkit view draws.
    ListView& fileview() { return fileview_; }
    const ListView& fileview() const { return fileview_; }
    const ImageList& ImageList2() const { return imageList2_; }
    const ImageList& ImageList4() const { return imageList4_; }
    const Platform& platform() const { return platform_; }
    Host& host() const { return host_; }
    // The row the cursor and the item queries read, counted from 1; 0 before any.
    std::int32_t currentRow() const;

private:
    class RowSink;

    void assignArchive(const Variant& value, const ArchiveSource& source);
    void OpenArchive(const ArchiveSource& source);
    void UpdateCurrentPicture();
    // The current row's icon as the control's picture; running out of memory is left to the caller.
    void showCurrentRowPicture();
    void raiseMouseEvent(EventId id, std::int16_t& button, std::int16_t& shift, float x, float y);
    // Makes a row selected and scrolled into view; raises when there is no such row.
    void selectRow(std::int32_t index);
    // The current row, after making the first row current when no row has been yet.
    std::optional<ListRow> currentRowForQuery();
    // A cell of the current row; the fallback when there is no current row.
    std::string currentText(std::size_t column, std::string_view fallback);
    std::int32_t GetScreenColorDepth();

    Host& host_;
    Platform platform_;
    ListView fileview_;
    ImageList imageList2_{16, 16};
    ImageList imageList3_;
    ImageList imageList4_;
    RowBuilder rowBuilder_;
    std::unique_ptr<RowSink> rowSink_;

    quenarch::Picture picture_;

    std::string ArchivePath;
    std::string ViewText;
    bool VisibleFlag = false;
};

// The columns of the list: Name, Size, Packed, Type, Modified, and the hidden Date and CRC.
std::vector<ColumnHeader> listingColumns();

} // namespace quenarch
