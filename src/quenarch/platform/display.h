#pragma once

#include <cstdint>

namespace quenarch {

class Display {
public:
    virtual ~Display() = default;
    // Bits per pixel of the screen.
    virtual std::int32_t colorDepth() const = 0;
};

class FixedDisplay final : public Display {
public:
    explicit FixedDisplay(std::int32_t depth) : depth_(depth) {}
    std::int32_t colorDepth() const override { return depth_; }

private:
    std::int32_t depth_;
};

} // namespace quenarch
