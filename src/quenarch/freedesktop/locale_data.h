#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Qt's locale data, written at build time by src/generators/locale_table_generator.cpp from every
// locale the Qt in use knows, and what QLocale needs to choose one by name.
namespace quenarch::freedesktop::localeData {

struct NumberFormat {
    std::string_view thousandsSeparator;
    std::string_view decimalPoint;
};

struct DateFormat {
    std::string_view shortDatePattern;
    std::string_view longTimePattern;
    std::string_view dateSeparator;
    std::string_view timeSeparator;
    std::string_view amText;
    std::string_view pmText;
    std::string_view monthNames[12];
    std::string_view monthAbbreviations[12];
};

struct Locale {
    std::string_view name;        // as QLocale::name() gives it: "de_DE", "C"
    std::string_view minimalName; // without the subtags its language implies: "de", "de-AT", "C"
    std::uint16_t numberFormat;   // position in numberFormats
    std::uint16_t dateFormat;     // position in dateFormats
};

// A code QLocale reads in a locale name and the number of the language, script or territory it
// names, sorted by code.
struct Code {
    std::string_view code;
    std::uint16_t id;
};

// The locale that a language in a script (0: none given) chooses, and the territories that
// choose another one.
struct Choice {
    std::uint16_t language;
    std::uint16_t script;
    std::uint16_t locale;
    std::uint16_t firstException; // position in territoryExceptions
    std::uint16_t exceptionCount;
};

struct TerritoryException {
    std::uint16_t territory;
    std::uint16_t locale;
};

extern const std::span<const NumberFormat> numberFormats;
extern const std::span<const DateFormat> dateFormats;
extern const std::span<const Locale> locales;
extern const std::uint16_t cLocale;                       // the position of the C locale
extern const std::span<const Code> languageCodes;         // lower case
extern const std::span<const Code> scriptCodes;           // as written: "Latn"
extern const std::span<const Code> territoryCodes;        // upper case
extern const std::span<const Choice> choices;             // sorted by language, then script
extern const std::span<const TerritoryException> territoryExceptions;

} // namespace quenarch::freedesktop::localeData
