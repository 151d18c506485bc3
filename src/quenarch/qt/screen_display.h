#pragma once

#include "quenarch/platform/display.h"

namespace quenarch::qt {

// The colour depth of the primary screen; 24 when there is no QGuiApplication or no screen.
class ScreenDisplay final : public Display {
public:
    std::int32_t colorDepth() const override;
};

} // namespace quenarch::qt
