#pragma once

#include "quenarch/base/locale.h"
#include "quenarch/freedesktop/environment.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenarch::freedesktop {

// The user's locale as Qt's QLocale::system() takes it from the environment, from Qt's own
// locale data (see locale_data.h).

// The locale that QLocale(name) chooses, as a position in localeData::locales: C for "C", for
// names that are no locale name and for unknown languages; else the best locale for the
// language, script and territory the name gives ("de_AT.UTF-8@euro", "sr_Latn", "de_US").
std::uint16_t localeNamed(std::string_view name);

// The conventions of the system locale: numbers from the locale of LC_ALL, else LC_NUMERIC,
// else LANG, dates and times from LC_ALL, else LC_TIME, else LANG; "C" where none is set.
LocaleConventions systemLocaleConventions(const Environment& environment);

// The name of the system locale (LC_ALL, else LC_MESSAGES, else LANG, unless the first language
// of LANGUAGE contradicts it), as QLocale::system().name() gives it: "de_DE", "C".
std::string systemLocaleName(const Environment& environment);

// The languages that QMimeType::comment() tries, in order, for the comment of a MIME type: the
// system locale's name and its language, the languages of LANGUAGE (else of LC_MESSAGES) with
// the shortest names of their locales, and at last "default". "C" counts as "en_US".
std::vector<std::string> commentLanguages(const Environment& environment);

} // namespace quenarch::freedesktop
