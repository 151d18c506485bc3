#pragma once

#include "quenarch/base/locale.h"

#include <QLocale>

namespace quenarch::qt {

// The number and date conventions of a QLocale for the core's Locale: what the freedesktop
// services' locale data is written from at build time, and what their tests compare with. The
// long time pattern loses its time-zone field (a stored moment has none) together with the
// brackets some locales put around it; the day period "B", which QLocale does not format, becomes
// AM/PM. The date and time separators are the literal text after the first date field and after
// the hour field, or "/" and ":" when that text has letters in it or is missing.
LocaleConventions desktopLocaleConventions(const QLocale& locale = QLocale::system());

} // namespace quenarch::qt
