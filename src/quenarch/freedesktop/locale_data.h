#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Qt's locale data, written at build time by src/generators/locale_table_generator.cpp from every
// locale the Qt in use knows, and what QLocale needs to choose one by name.
namespace quenarch::freedesktop::localeData {

// A text of the tables: where it starts in the one block that holds all their texts, and its
// length. Positions rather than pointers, so that nothing in the tables needs relocating when the
// program starts: with pointers, the loader wrote some 190 KB of them in every process.
class Text {
public:
    constexpr Text(std::uint32_t offset, std::uint32_t length) : offset_(offset), length_(length) {}
    operator std::string_view() const;

private:
    std::uint32_t offset_;
    std::uint32_t length_;
};

struct NumberFormat {
    Text thousandsSeparator;
    Text decimalPoint;
};

struct DateFormat {
    Text shortDatePattern;
    Text longTimePattern;
    Text dateSeparator;
    Text timeSeparator;
    Text amText;
    Text pmText;
    Text monthNames[12];
    Text monthAbbreviations[12];
};

struct Locale {
    Text name;          // as QLocale::name() gives it: "de_DE", "C"
    Text minimalName;   // without the subtags its language implies: "de", "de-AT", "C"
    std::uint16_t numberFormat;   // position in numberFormats
    std::uint16_t dateFormat;     // position in dateFormats
};

// A code QLocale reads in a locale name and the number of the language, script or territory it
// names, sorted by code.
struct Code {
    Text code;
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
