#include "quenarch/listing/regional_settings.h"

#include "quenarch/listing/file_types.h"
#include "quenarch/base/blank_text.h"
#include "quenarch/base/text_case.h"
#include "quenarch/base/utf8.h"

namespace quenarch {
namespace {

constexpr std::size_t iniValueLimit = 254;

// Cuts after at most limit characters, never inside a UTF-8 sequence.
std::string firstCharacters(std::string text, std::size_t limit)
{
    text.resize(utf8PrefixSize(text, limit));
    return text;
}

} // namespace

std::string ReadIniString(const IniSource& ini, std::string_view section, std::string_view key, std::string_view fileName)
{
    return firstCharacters(ini.readString(section, key, fileName).value_or(""), iniValueLimit);
}

RegionalSettings LoadRegionalSettings(const IniSource& ini, const Registry* registry, const Locale& locale)
{
    RegionalSettings settings;
    settings.shortDateFormat = toLower(ReadIniString(ini, "intl", "sShortdate", "win.ini"));
    settings.dateSeparator = ReadIniString(ini, "intl", "sDate", "win.ini");
    settings.timeSeparator = ReadIniString(ini, "intl", "sTime", "win.ini");
    if (isBlank(settings.shortDateFormat)) {
        if (registry != nullptr) {
            const RegistryData value = ReadUserRegistryValue(*registry, "International", "sShortDate");
            const auto* text = std::get_if<std::string>(&value);
            settings.shortDateFormat = text != nullptr ? *text : std::string();
        } else {
            settings.shortDateFormat = locale.conventions().shortDatePattern;
        }
        if (isBlank(settings.shortDateFormat)) settings.shortDateFormat = "mm-dd-yyyy";
    }
    if (isBlank(settings.dateSeparator)) settings.dateSeparator = "-";
    if (isBlank(settings.timeSeparator)) settings.timeSeparator = ":";
    return settings;
}

} // namespace quenarch
