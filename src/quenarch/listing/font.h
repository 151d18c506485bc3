#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quenarch {

// A font object as hosts share it: setting it by reference shares the object itself.
struct Font {
    std::string name = "Sans Serif";
    double size = 9.0; // points
    std::int16_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    std::int16_t charset = 0;

    bool bold() const { return weight >= 600; }
    friend bool operator==(const Font&, const Font&) = default;
};

using FontRef = std::shared_ptr<Font>;

// The largest size, in points, that desktop font dialogs offer.
inline constexpr double largestFontSize = 1638;

// Whether a font can be drawn at a size in points: above 0 and at most largestFontSize (not NaN).
constexpr bool isDrawableFontSize(double points) { return points > 0 && points <= largestFontSize; }

} // namespace quenarch
