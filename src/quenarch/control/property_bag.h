#pragma once

#include "quenarch/control/variant.h"

#include <map>
#include <string>
#include <string_view>

namespace quenarch {

// Where a host keeps the design-time properties of a control.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    // The stored value, or defaultValue when the key is not held.
    virtual Variant readProperty(std::string_view key, const Variant& defaultValue) = 0;
    // Stores a value; a bag may leave out a value equal to its default.
    virtual void writeProperty(std::string_view key, const Variant& value, const Variant& defaultValue) = 0;
};

// A bag in memory that leaves out plain values equal to their defaults.
class MemoryPropertyBag final : public PropertyBag {
public:
    Variant readProperty(std::string_view key, const Variant& defaultValue) override;
    void writeProperty(std::string_view key, const Variant& value, const Variant& defaultValue) override;

    const std::map<std::string, Variant, std::less<>>& values() const { return values_; }
    void set(std::string key, Variant value) { values_[std::move(key)] = std::move(value); }

private:
    std::map<std::string, Variant, std::less<>> values_;
};

} // namespace quenarch
