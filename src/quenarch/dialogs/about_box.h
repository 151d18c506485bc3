#pragma once

#include <array>
#include <string_view>

namespace quenarch {

// The About box: its texts and how it places itself. It is created on first use, centred once
// on the screen then, and lives on hidden between showings.
struct AboutBoxContent {
    static constexpr std::string_view caption = "About Quen Zip Archive Control";
    static constexpr std::string_view title = "Quen Archive Control 1.0";
    // The host this build serves.
    static constexpr std::string_view hostLine = "For Qt 6 applications on Linux desktops";
    static constexpr std::array<std::string_view, 6> publisherLines{
        "The quenarch project",
        "Lists ZIP, ARJ, LZH, ARC, RAR and CAB archives",
        "Reads directories only; never extracts",
        "Free software",
        "Made with C++20 and Qt 6",
        "Version 1.0",
    };
    // Client area in twips.
    static constexpr int clientWidth = 4680;
    static constexpr int clientHeight = 3585;
};

struct BoxPosition {
    float left;
    float top;
};

// The position that centres a box of the given outer size on the screen, all in twips, computed
// in single precision with no rounding of its own.
BoxPosition centredOnScreen(float screenWidth, float screenHeight, float boxWidth, float boxHeight);

} // namespace quenarch
