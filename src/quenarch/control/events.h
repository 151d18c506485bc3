#pragma once

#include <cstdint>
#include <string_view>

namespace quenarch {

// The events of the control, by their dispatch identifiers.
enum class EventId : std::int32_t {
    Click = 1,
    DblClick = 2,
    MouseDown = 3,
    MouseMove = 4,
    MouseUp = 5,
    ItemClick = 6,
    ColumnClick = 7,
};

std::string_view eventName(EventId id);

} // namespace quenarch
