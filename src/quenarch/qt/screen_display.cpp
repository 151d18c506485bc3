#include "quenarch/qt/screen_display.h"

#include <QGuiApplication>
#include <QScreen>

namespace quenarch::qt {

std::int32_t ScreenDisplay::colorDepth() const
{
    constexpr std::int32_t usualDepth = 24;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return usualDepth;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : usualDepth;
}

} // namespace quenarch::qt
