#pragma once

#include "quenarch/platform/display.h"
#include "quenarch/platform/file_type_source.h"
#include "quenarch/platform/icon_source.h"
#include "quenarch/platform/ini_source.h"
#include "quenarch/base/locale.h"
#include "quenarch/platform/registry.h"
#include "quenarch/platform/text_codec.h"

#include <memory>

namespace quenarch {

// The desktop services the control calls. A host supplies the desktop's; tests supply fixed ones.
struct Platform {
    // The registry a host supplies for its regional settings; may be null.
    std::shared_ptr<const Registry> registry;
    std::shared_ptr<const FileTypeSource> fileTypes;
    std::shared_ptr<const IniSource> ini;
    std::shared_ptr<const Locale> locale;
    // The encoding the host chose for names that archives do not mark as UTF-8; null when it
    // chose none, and each format reads them in the code page of its tools.
    std::shared_ptr<const TextCodec> codec;
    std::shared_ptr<const IconSource> icons;
    std::shared_ptr<const Display> display;
};

} // namespace quenarch
