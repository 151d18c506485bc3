#include "quenarch/freedesktop/desktop_services.h"

#include "quenarch/freedesktop/desktop_file_types.h"
#include "quenarch/freedesktop/iconv_text_codec.h"
#include "quenarch/freedesktop/system_locale.h"

#include <stdexcept>

namespace quenarch::freedesktop {

DesktopServices desktopServices(const DesktopOptions& options, const Environment& environment)
{
    // No encoding named: each format reads unmarked names in the code page of its tools.
    std::shared_ptr<const TextCodec> codec;
    if (!options.encoding.empty()) {
        codec = makeTextCodec(options.encoding);
        if (!codec) throw std::invalid_argument("unknown encoding: " + options.encoding);
    }
    auto mimeTypes = std::make_shared<const MimeDatabase>(MimeDatabase::foldersOf(environment));
    auto iconFiles = std::make_shared<const IconFileFinder>(
        [environment, theme = options.iconTheme, folders = options.iconThemeFolders] { return desktopIconThemeLocations(environment, theme, folders); },
        mimeTypes);
    Platform platform{
        nullptr,
        std::make_shared<DesktopFileTypes>(mimeTypes, commentLanguages(environment)),
        std::make_shared<IniFolder>(options.systemFolder.empty() ? defaultSystemFolder() : options.systemFolder),
        std::make_shared<Locale>(systemLocaleConventions(environment)),
        std::move(codec),
        std::make_shared<FoundIconSource>(iconFiles),
        std::make_shared<FixedDisplay>(24),
    };
    return {std::move(platform), std::move(iconFiles)};
}

} // namespace quenarch::freedesktop
