#pragma once

#include "quenarch/control/events.h"
#include "quenarch/control/variant.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace quenarch {

// What the control needs from the program that hosts it.
class Host {
public:
    virtual ~Host() = default;

    // The named property has a new value: saved properties are out of date.
    virtual void propertyChanged(std::string_view name) = 0;
    // Raises an event. Arguments are passed by reference; the handler runs before this returns.
    virtual void raiseEvent(EventId id, std::span<Variant> arguments) = 0;
    // Converts a position in twips on the control's surface to the container's coordinates.
    virtual float scaleX(float twips) const = 0;
    virtual float scaleY(float twips) const = 0;
    // Handles the pending user-interface messages once.
    virtual void processMessages() = 0;

    // The control's own surface.
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    // Inner size of the control, in twips.
    virtual std::int32_t scaleWidth() const = 0;
    virtual std::int32_t scaleHeight() const = 0;
    // Gives the list the keyboard focus; may fail, for instance while the control is hidden.
    virtual void setFocusToList() = 0;
    // Shows the About box modally.
    virtual void showAbout() = 0;
};

} // namespace quenarch
