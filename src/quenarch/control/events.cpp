#include "quenarch/control/events.h"

namespace quenarch {

std::string_view eventName(EventId id)
{
    switch (id) {
    case EventId::Click: return "Click";
    case EventId::DblClick: return "DblClick";
    case EventId::MouseDown: return "MouseDown";
    case EventId::MouseMove: return "MouseMove";
    case EventId::MouseUp: return "MouseUp";
    case EventId::ItemClick: return "ItemClick";
    case EventId::ColumnClick: return "ColumnClick";
    }
    return {};
}

} // namespace quenarch
