#pragma once

#include "quenarch/listing/image_list.h"
#include "quenarch/listing/list_view.h"
#include "quenarch/base/image.h"

#include <cstdint>

namespace quenarch {

// The control's own pictures, drawn once per process.
struct BuiltinPictures {
    Picture pixdefault;        // 16 x 16, 16 colours: a document page with a folded corner and an emblem
    Picture defaultIcon;       // 32 x 32, 16 colours: the same page
    Picture pixmap2;           // 16 x 16, 256 colours: a closed yellow folder, its yellow dithered
    Picture pixmap;            // 16 x 16, 256 colours: the closed folder in plain yellow
    Picture pctlmapclosed_256; // 32 x 32, 256 colours: the closed folder
    Picture pixexe;            // 16 x 16, 256 colours: an application window with a dark title bar
    Picture pcterr16;          // 16 x 16, 16 colours: a white cross on a red disc
    Picture pcterr32;          // 32 x 32, 16 colours: the same cross

    static const BuiltinPictures& instance();
};

// Empties both icon lists and puts back the built-in pictures under "default", "mapclosed",
// "xexe" and "error" (the dithered folder at a colour depth of exactly 8 bits), unbinding the
// lists from the view meanwhile.
void LoadImageLists(ListView& list, ImageList& imageList2, ImageList& imageList4, std::int32_t screenColorDepth);

} // namespace quenarch
