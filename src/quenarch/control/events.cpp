#include "quenarch/control/events.h"

#include "quenarch/control/type_library.h"

namespace quenarch {

std::string_view eventName(EventId id)
{
    for (const MemberInfo& event : findInterface("__quenarchive")->members)
        if (event.dispid == static_cast<std::int32_t>(id)) return event.name;
    return {};
}

} // namespace quenarch
