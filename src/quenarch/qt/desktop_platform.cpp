#include "quenarch/qt/desktop_platform.h"

#include "quenarch/listing/file_types.h"
#include "quenarch/qt/desktop_icon_source.h"
#include "quenarch/qt/desktop_locale.h"
#include "quenarch/qt/desktop_registry.h"
#include "quenarch/qt/desktop_text_codec.h"
#include "quenarch/qt/screen_display.h"

#include <stdexcept>

namespace quenarch::qt {

Platform desktopPlatform(const DesktopOptions& options)
{
    std::shared_ptr<const TextCodec> codec = makeTextCodec(options.encoding);
    if (!codec) throw std::invalid_argument("unknown encoding: " + options.encoding);
    auto registry = std::make_shared<DesktopRegistry>();
    auto locale = std::make_shared<Locale>(desktopLocaleConventions());
    auto fileTypes = std::make_shared<RegistryFileTypes>(registry, locale);
    return Platform{
        std::move(registry),
        std::move(fileTypes),
        std::make_shared<IniFolder>(options.systemFolder.empty() ? defaultSystemFolder() : options.systemFolder),
        std::move(locale),
        std::move(codec),
        std::make_shared<DesktopIconSource>(),
        std::make_shared<ScreenDisplay>(),
    };
}

} // namespace quenarch::qt
