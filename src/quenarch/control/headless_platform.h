#pragma once

#include "quenarch/platform/platform.h"

namespace quenarch {

// Services that need no toolkit: an empty in-memory registry and its file types, win.ini from
// the default system folder, US English conventions, UTF-8-or-Windows-1252 names, no desktop
// icons, 24-bit colour.
Platform headlessPlatform();

} // namespace quenarch
