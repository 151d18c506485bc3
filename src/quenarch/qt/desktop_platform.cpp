#include "quenarch/qt/desktop_platform.h"

#include "quenarch/freedesktop/desktop_services.h"
#include "quenarch/qt/desktop_icon_source.h"
#include "quenarch/qt/screen_display.h"

#include <QGuiApplication>
#include <QIcon>

namespace quenarch::qt {

Platform desktopPlatform(const DesktopOptions& options)
{
    freedesktop::DesktopOptions desktop{options.encoding, options.systemFolder, {}, {}};
    // With a GUI, the platform theme knows the desktop's icon theme and where it keeps themes.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        desktop.iconTheme = QIcon::themeName().toStdString();
        for (const QString& folder : QIcon::themeSearchPaths()) desktop.iconThemeFolders.emplace_back(folder.toStdString());
    }
    freedesktop::DesktopServices services = freedesktop::desktopServices(desktop);
    services.platform.icons = std::make_shared<DesktopIconSource>(services.iconFiles);
    services.platform.display = std::make_shared<ScreenDisplay>();
    return std::move(services.platform);
}

} // namespace quenarch::qt
