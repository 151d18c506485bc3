#pragma once

#include "quenarch/platform/platform.h"

namespace quenarch {

// Services that need no toolkit: an empty in-memory registry and its file types, win.ini from
// the default system folder, US English conventions, no chosen encoding (each format reads
// unmarked names in its tools' code page), no desktop icons, 24-bit colour.
Platform headlessPlatform();

} // namespace quenarch
