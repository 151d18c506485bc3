#include "quenarch/listing/builtin_pictures.h"

namespace quenarch {

void LoadImageLists(ListView& list, ImageList& imageList2, ImageList& imageList4, std::int32_t screenColorDepth)
{
    const BuiltinPictures& pictures = BuiltinPictures::instance();
    list.setSmallIcons(nullptr);
    list.setIcons(nullptr);
    imageList2.clear();
    imageList4.clear();
    imageList2.add("default", pictures.pixdefault);
    if (screenColorDepth == 8) {
        imageList2.add("mapclosed", pictures.pixmap2);
        imageList4.add("mapclosed", pictures.pixmap2);
    } else {
        imageList2.add("mapclosed", pictures.pixmap);
        imageList4.add("mapclosed", pictures.pctlmapclosed_256);
    }
    imageList4.add("default", pictures.defaultIcon);
    imageList2.add("xexe", pictures.pixexe);
    imageList2.add("error", pictures.pcterr16);
    imageList4.add("xexe", pictures.pixexe);
    imageList4.add("error", pictures.pcterr32);
    list.setSmallIcons(&imageList2);
    list.setIcons(&imageList4);
}

} // namespace quenarch
