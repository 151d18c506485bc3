#include "quenarch/freedesktop/system_locale.h"

#include "quenarch/freedesktop/locale_data.h"

#include <algorithm>

namespace quenarch::freedesktop {
namespace {

// The language, script and territory a locale name gives, by QLocale's numbers; 0 for what it
// does not give.
struct LocaleId {
    std::uint16_t language = 0;
    std::uint16_t script = 0;
    std::uint16_t territory = 0;
};

// The parts of a locale name: "language[_script][_territory]" with "_", "-", "." or "@" between
// parts, each part ASCII letters and digits; anything after the territory is ignored.
struct NameParts {
    std::string_view language;
    std::string_view script;
    std::string_view territory;
};

bool isAsciiLetterOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

std::optional<std::uint16_t> codeIn(std::span<const localeData::Code> codes, std::string_view code)
{
    const auto found = std::lower_bound(codes.begin(), codes.end(), code, [](const localeData::Code& entry, std::string_view wanted) {
        return std::string_view(entry.code) < wanted;
    });
    if (found == codes.end() || std::string_view(found->code) != code) return std::nullopt;
    return found->id;
}

std::optional<NameParts> splitLocaleName(std::string_view name)
{
    enum class Expect { Language, Script, Territory, Nothing } expect = Expect::Language;
    NameParts parts;
    while (!name.empty() && expect != Expect::Nothing) {
        const std::size_t end = name.find_first_of("_-.@");
        const std::string_view tag = name.substr(0, end);
        if (tag.empty() || !std::all_of(tag.begin(), tag.end(), isAsciiLetterOrDigit)) break;
        const bool separated = end != std::string_view::npos;
        name = separated ? name.substr(end + 1) : std::string_view();
        switch (expect) {
        case Expect::Language:
            if (tag.size() != 2 && tag.size() != 3) return std::nullopt;
            parts.language = tag;
            expect = separated ? Expect::Script : Expect::Nothing;
            break;
        case Expect::Script:
            if (codeIn(localeData::scriptCodes, tag)) {
                parts.script = tag;
                expect = separated ? Expect::Territory : Expect::Nothing;
                break;
            }
            [[fallthrough]]; // not a script: a territory
        case Expect::Territory:
            parts.territory = tag;
            expect = Expect::Nothing;
            break;
        case Expect::Nothing: break;
        }
    }
    if (expect == Expect::Language) return std::nullopt;
    return parts;
}

std::string asciiCased(std::string_view text, bool upper)
{
    std::string out(text);
    for (char& c : out) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

// The numbers QLocale reads from a name; the C language for a name it cannot read.
LocaleId idOfName(std::string_view name)
{
    constexpr std::uint16_t cLanguage = 1;
    const std::optional<NameParts> parts = splitLocaleName(name);
    if (!parts) return {cLanguage, 0, 0};
    const std::optional<std::uint16_t> language = codeIn(localeData::languageCodes, asciiCased(parts->language, false));
    if (!language) return {cLanguage, 0, 0};
    LocaleId id{*language, 0, 0};
    if (!parts->script.empty()) id.script = codeIn(localeData::scriptCodes, parts->script).value_or(0);
    if (!parts->territory.empty()) id.territory = codeIn(localeData::territoryCodes, asciiCased(parts->territory, true)).value_or(0);
    return id;
}

const localeData::Choice* choiceOf(std::uint16_t language, std::uint16_t script)
{
    const auto& choices = localeData::choices;
    const auto found = std::lower_bound(choices.begin(), choices.end(), std::pair(language, script), [](const localeData::Choice& c, std::pair<std::uint16_t, std::uint16_t> wanted) {
        return std::pair(c.language, c.script) < wanted;
    });
    if (found == choices.end() || found->language != language || found->script != script) return nullptr;
    return &*found;
}

std::uint16_t localeOfId(const LocaleId& id)
{
    const localeData::Choice* choice = choiceOf(id.language, id.script);
    if (choice == nullptr) choice = choiceOf(id.language, 0); // a script of none of the language's locales
    if (choice == nullptr) return localeData::cLocale;
    const auto exceptions = localeData::territoryExceptions.subspan(choice->firstException, choice->exceptionCount);
    const auto exception = std::find_if(exceptions.begin(), exceptions.end(), [&](const localeData::TerritoryException& e) { return e.territory == id.territory; });
    return exception != exceptions.end() ? exception->locale : choice->locale;
}

const std::string& firstSet(const std::string& a, const std::string& b) { return a.empty() ? b : a; }

// QLocale's reading of "maybe" (from LANGUAGE) says something other than "known" (the locale
// variables): another language, or a script or territory that known does not have.
bool contradicts(std::string_view maybe, std::string_view known)
{
    if (maybe.empty()) return false;
    const LocaleId knownId = idOfName(known);
    const LocaleId maybeId = idOfName(maybe);
    const bool sameLanguage = maybeId.language == 0 || maybeId.language == knownId.language;
    const bool agrees = (maybeId.territory == 0 || maybeId.territory == knownId.territory) && (maybeId.script == 0 || maybeId.script == knownId.script);
    return !(sameLanguage && agrees);
}

std::uint16_t systemLocale(const Environment& environment)
{
    const std::string& lang = firstSet(environment.lcAll, firstSet(environment.lcMessages, environment.lang));
    if (lang.empty() || lang == "C" || lang == "POSIX") return localeNamed(lang);
    // Only the first entry of LANGUAGE counts.
    const std::string_view first = std::string_view(environment.language).substr(0, environment.language.find(':'));
    return localeNamed(contradicts(first, lang) ? first : std::string_view(lang));
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return parts;
        text.remove_prefix(end + 1);
    }
}

} // namespace

std::uint16_t localeNamed(std::string_view name)
{
    if (name == "C") return localeData::cLocale;
    return localeOfId(idOfName(name));
}

LocaleConventions systemLocaleConventions(const Environment& environment)
{
    const std::string& numeric = firstSet(environment.lcAll, firstSet(environment.lcNumeric, environment.lang));
    const std::string& time = firstSet(environment.lcAll, firstSet(environment.lcTime, environment.lang));
    const localeData::NumberFormat& numbers = localeData::numberFormats[localeData::locales[localeNamed(numeric.empty() ? "C" : numeric)].numberFormat];
    const localeData::DateFormat& dates = localeData::dateFormats[localeData::locales[localeNamed(time.empty() ? "C" : time)].dateFormat];
    LocaleConventions conventions;
    conventions.thousandsSeparator = numbers.thousandsSeparator;
    conventions.decimalPoint = numbers.decimalPoint;
    conventions.shortDatePattern = dates.shortDatePattern;
    conventions.longTimePattern = dates.longTimePattern;
    conventions.dateSeparator = dates.dateSeparator;
    conventions.timeSeparator = dates.timeSeparator;
    conventions.amText = dates.amText;
    conventions.pmText = dates.pmText;
    for (std::size_t month = 0; month < 12; ++month) {
        conventions.monthNames[month] = dates.monthNames[month];
        conventions.monthAbbreviations[month] = dates.monthAbbreviations[month];
    }
    return conventions;
}

std::string systemLocaleName(const Environment& environment) { return std::string(localeData::locales[systemLocale(environment)].name); }

std::vector<std::string> commentLanguages(const Environment& environment)
{
    std::vector<std::string> languages;
    // A language and, for "ll_TT", its language alone.
    const auto add = [&](std::string_view name) {
        const std::string language = name == "C" ? "en_US" : std::string(name);
        languages.push_back(language);
        if (const std::size_t underscore = language.find('_'); underscore != std::string::npos) languages.push_back(language.substr(0, underscore));
    };
    const std::uint16_t system = systemLocale(environment);
    add(localeData::locales[system].name);

    // The user's languages as "ll" or "ll-TT", each followed by the shortest name of its locale.
    const std::string messages = firstSet(environment.lcAll, firstSet(environment.lcMessages, firstSet(environment.lang, std::string("C"))));
    std::vector<std::string> userLanguages;
    for (const std::string_view entry : environment.language.empty() ? std::vector<std::string_view>{messages} : split(environment.language, ':')) {
        const std::optional<NameParts> parts = splitLocaleName(entry);
        if (parts) userLanguages.push_back(std::string(parts->language) + (parts->territory.empty() ? "" : "-" + std::string(parts->territory)));
    }
    if (userLanguages.empty()) add(localeData::locales[system].minimalName);
    for (const std::string& language : userLanguages) {
        add(language);
        const std::string_view minimal = localeData::locales[localeNamed(language)].minimalName;
        if (minimal != language) add(minimal);
    }
    languages.push_back("default");
    return languages;
}

} // namespace quenarch::freedesktop
