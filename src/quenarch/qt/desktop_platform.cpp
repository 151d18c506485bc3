#include "quenarch/qt/desktop_platform.h"

#include "quenarch/qt/desktop_icon_source.h"
#include "quenarch/qt/desktop_locale.h"
#include "quenarch/qt/desktop_registry.h"
#include "quenarch/qt/desktop_text_codec.h"
#include "quenarch/qt/screen_display.h"

#include <stdexcept>

namespace quenarch::qt {

Platform desktopPlatform(const DesktopOptions& options)
{
    // No encoding named: each format reads unmarked names in its own code page.
    std::shared_ptr<const TextCodec> codec;
    if (!options.encoding.empty()) {
        codec = makeTextCodec(options.encoding);
        if (!codec) throw std::invalid_argument("unknown encoding: " + options.encoding);
    }
    return Platform{
        std::make_shared<DesktopRegistry>(),
        std::make_shared<IniFolder>(options.systemFolder.empty() ? defaultSystemFolder() : options.systemFolder),
        std::make_shared<Locale>(desktopLocaleConventions()),
        std::move(codec),
        std::make_shared<DesktopIconSource>(),
        std::make_shared<ScreenDisplay>(),
    };
}

} // namespace quenarch::qt
