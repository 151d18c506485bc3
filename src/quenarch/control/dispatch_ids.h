#pragma once

#include <cstdint>

namespace quenarch {

// The dispatch identifiers of the control's properties and methods (its events' are EventId).
// Hosts keep them in compiled calls, so they never change; the dispatch table and the type
// library both read them from here.
enum class MemberId : std::int32_t {
    Picture = 0x68030000,
    View = 0x68030001,
    Visible = 0x68030002,
    Enabled = 0x68030003,
    Font = 0x68030004,
    ForeColor = 0x68030005,
    BackColor = 0x68030006,
    Archive = 0x68030007,
    ListItems = 0x40030004,
    ListCount = 0x60030025,
    Clear = 0x60030026,
    SetFocus = 0x60030028,
    ShowAbout = 0x60030029,
    Refresh = 0x6003002A,
    FileComment = 0x6003002B,
    MoveLast = 0x6003002C,
    MoveFirst = 0x6003002D,
    MoveNext = 0x6003002E,
    MovePrevious = 0x6003002F,
    ArchiveType = 0x60030030,
    ItemFileName = 0x60030031,
    filename = 0x60030032,
    ItemCompressed = 0x60030033,
    ItemCRC = 0x60030034,
    ItemDate = 0x60030035,
    ItemTime = 0x60030036,
    ItemUnCompressed = 0x60030037,
    Version = 0x60030038,
    ItemFileType = 0x60030039,
};

} // namespace quenarch
