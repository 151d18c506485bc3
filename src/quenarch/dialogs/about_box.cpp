#include "quenarch/dialogs/about_box.h"

namespace quenarch {

BoxPosition centredOnScreen(float screenWidth, float screenHeight, float boxWidth, float boxHeight)
{
    return {(screenWidth - boxWidth) / 2.0f, (screenHeight - boxHeight) / 2.0f};
}

} // namespace quenarch
