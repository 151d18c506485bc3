#pragma once

#include "quenarch/base/image.h"

#include <cstdint>
#include <string_view>

namespace quenarch {

// Turns an icon location (a file or icon name and an index) into a 32 x 32 picture.
class IconSource {
public:
    virtual ~IconSource() = default;
    // Nothing when no icon can be had from that location.
    virtual Picture loadIcon(std::string_view location, std::int32_t index) const = 0;
};

class NoIconSource final : public IconSource {
public:
    Picture loadIcon(std::string_view, std::int32_t) const override { return nullptr; }
};

} // namespace quenarch
