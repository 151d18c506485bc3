#pragma once

#include "quenarch/control/host.h"

#include <functional>
#include <string>
#include <vector>

namespace quenarch {

// A host without a screen: it records property-changed notices, hands events to a callback,
// converts positions one to one and measures a control of the default size.
class HeadlessHost final : public Host {
public:
    using EventHandler = std::function<void(EventId, std::span<Variant>)>;

    void propertyChanged(std::string_view name) override { changedProperties.emplace_back(name); }
    void raiseEvent(EventId id, std::span<Variant> arguments) override
    {
        if (onEvent) onEvent(id, arguments);
    }
    float scaleX(float twips) const override { return twips; }
    float scaleY(float twips) const override { return twips; }
    void processMessages() override { ++messagePasses; }
    bool enabled() const override { return enabledState; }
    void setEnabled(bool enabled) override { enabledState = enabled; }
    std::int32_t scaleWidth() const override { return width; }
    std::int32_t scaleHeight() const override { return height; }
    void setFocusToList() override { ++focusRequests; }
    void showAbout() override { ++aboutShown; }

    EventHandler onEvent;
    std::vector<std::string> changedProperties;
    int messagePasses = 0;
    int focusRequests = 0;
    int aboutShown = 0;
    bool enabledState = true;
    std::int32_t width = 4965;
    std::int32_t height = 3060;
};

} // namespace quenarch
