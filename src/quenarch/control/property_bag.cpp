#include "quenarch/control/property_bag.h"

namespace quenarch {

Variant MemoryPropertyBag::readProperty(std::string_view key, const Variant& defaultValue)
{
    auto found = values_.find(key);
    return found == values_.end() ? defaultValue : found->second;
}

void MemoryPropertyBag::writeProperty(std::string_view key, const Variant& value, const Variant& defaultValue)
{
    // Objects are always kept: a font equal to the default object may still differ from the
    // font the control starts with next time.
    if (!value.isObject() && value == defaultValue) {
        values_.erase(std::string(key));
        return;
    }
    values_[std::string(key)] = value;
}

} // namespace quenarch
