#pragma once

#include "quenarch/base/locale.h"
#include "quenarch/platform/ini_source.h"
#include "quenarch/platform/registry.h"

#include <string>
#include <string_view>

namespace quenarch {

struct RegionalSettings {
    std::string shortDateFormat;
    std::string dateSeparator;
    std::string timeSeparator;
};

// A value of an initialisation file, or "" when missing; values are cut to 254 characters.
std::string ReadIniString(const IniSource& ini, std::string_view section, std::string_view key, std::string_view fileName);

// The short date picture and the two separators: from the "intl" section of win.ini (the
// picture lower-cased), the picture else from HKEY_CURRENT_USER\International\sShortDate as it
// stands when the host supplies a registry, or from the locale's short date pattern when it does
// not, and else the defaults "mm-dd-yyyy", "-" and ":". A value made only of blanks counts as
// missing; any other value keeps its blanks.
RegionalSettings LoadRegionalSettings(const IniSource& ini, const Registry* registry, const Locale& locale);

} // namespace quenarch
