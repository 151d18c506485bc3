#pragma once

#include "control/host.h"
#include "control/property_bag.h"
#include "control/variant.h"
#include "listing/image_list.h"
#include "listing/list_view.h"
#include "listing/row_builder.h"
#include "platform/platform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quenarch {

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

    // What a toolkit view draws.
    ListView& fileview() { return fileview_; }
    const ListView& fileview() const { return fileview_; }
    const ImageList& ImageList2() const { return imageList2_; }
    const ImageList& ImageList4() const { return imageList4_; }
    const Platform& platform() const { return platform_; }
    Host& host() const { return host_; }

private:
    class RowSink;

    void OpenArchive();
    std::int32_t GetScreenColorDepth();

    Host& host_;
    Platform platform_;
    ListView fileview_;
    ImageList imageList2_{16, 16};
    ImageList imageList3_;
    ImageList imageList4_;
    RowBuilder rowBuilder_;
    std::unique_ptr<RowSink> rowSink_;

    std::string ArchivePath;
    std::string ViewText;
    bool VisibleFlag = false;
};

// The columns of the list: Name, Size, Packed, Type, Modified, and the hidden Date and CRC.
std::vector<ColumnHeader> listingColumns();

} // namespace quenarch
