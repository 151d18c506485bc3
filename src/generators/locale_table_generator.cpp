// Writes the locale data of the freedesktop services (quenarch/freedesktop/locale_data.h) from the
// Qt it runs on: the number and date conventions of every locale Qt knows, as
// desktopLocaleConventions() reads them, the codes QLocale reads in a locale name, and which locale
// QLocale(name) chooses for every language, script and territory it can be given.

#include "quenarch/qt/desktop_locale.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

using quenarch::LocaleConventions;

// A C++ string literal of UTF-8 text.
std::string literal(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\%03o", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

using Key = std::tuple<int, int, int>; // language, script, territory

Key keyOf(const QLocale& locale) { return {locale.language(), locale.script(), locale.territory()}; }

// Numbers each distinct value in the order first met.
template <typename Value>
class Interned {
public:
    int add(const Value& value)
    {
        const auto [entry, added] = positions_.try_emplace(value, static_cast<int>(values_.size()));
        if (added) values_.push_back(value);
        return entry->second;
    }
    const std::vector<Value>& values() const { return values_; }

private:
    std::map<Value, int> positions_;
    std::vector<Value> values_;
};

using NumberFormat = std::tuple<std::string, std::string>;
using DateFormat = std::vector<std::string>; // patterns, separators, am/pm, 12 month names, 12 abbreviations

void writeCodes(const char* name, const std::map<std::string, int>& codes)
{
    std::printf("constexpr Code %sData[] = {\n", name);
    for (const auto& [code, id] : codes) std::printf("    {%s, %d},\n", literal(code).c_str(), id);
    std::printf("};\n");
}

} // namespace

int main()
{
    const QList<QLocale> all = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    std::map<Key, int> positionOf;
    Interned<NumberFormat> numberFormats;
    Interned<DateFormat> dateFormats;
    struct Entry {
        std::string name, minimalName;
        int numbers, dates;
    };
    std::vector<Entry> locales;
    QHash<int, QSet<int>> scriptsOfLanguage;
    for (const QLocale& locale : all) {
        const LocaleConventions c = quenarch::qt::desktopLocaleConventions(locale);
        DateFormat date{c.shortDatePattern, c.longTimePattern, c.dateSeparator, c.timeSeparator, c.amText, c.pmText};
        date.insert(date.end(), c.monthNames.begin(), c.monthNames.end());
        date.insert(date.end(), c.monthAbbreviations.begin(), c.monthAbbreviations.end());
        const bool isC = locale.language() == QLocale::C;
        positionOf.emplace(keyOf(locale), static_cast<int>(locales.size()));
        locales.push_back({locale.name().toStdString(), isC ? "C" : locale.bcp47Name().toStdString(),
                           numberFormats.add({c.thousandsSeparator, c.decimalPoint}), dateFormats.add(date)});
        scriptsOfLanguage[locale.language()].insert(locale.script());
    }
    const auto positionOfName = [&](const QString& name) {
        const auto found = positionOf.find(keyOf(QLocale(name)));
        if (found == positionOf.end()) {
            std::fprintf(stderr, "QLocale(%s) is no locale of matchingLocales()\n", qPrintable(name));
            std::exit(1);
        }
        return found->second;
    };

    // The codes of locale names, as QLocale's code look-ups take them.
    std::map<std::string, int> languageCodes, territoryCodes, scriptCodes;
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const QString alphanumerics = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    for (const QChar a : letters)
        for (const QChar b : letters) {
            const QString two = QString(a) + b;
            if (const QLocale::Language l = QLocale::codeToLanguage(two); l != QLocale::AnyLanguage) languageCodes[two.toStdString()] = l;
            for (const QChar c : letters)
                if (const QLocale::Language l = QLocale::codeToLanguage(two + c); l != QLocale::AnyLanguage) languageCodes[(two + c).toStdString()] = l;
        }
    for (const QChar a : alphanumerics)
        for (const QChar b : alphanumerics) {
            const QString two = QString(a) + b;
            if (const QLocale::Territory t = QLocale::codeToTerritory(two); t != QLocale::AnyTerritory) territoryCodes[two.toStdString()] = t;
            for (const QChar c : alphanumerics)
                if (const QLocale::Territory t = QLocale::codeToTerritory(two + c); t != QLocale::AnyTerritory) territoryCodes[(two + c).toStdString()] = t;
        }
    // A locale name's script is a code of QLocale's table, found where a code starts in the
    // codes written one after another (the first, "Zzzz", stands for any script).
    QString allScripts = QStringLiteral("Zzzz");
    for (int s = 1; s <= QLocale::LastScript; ++s) allScripts += QLocale::scriptToCode(QLocale::Script(s));
    for (int s = 1; s <= QLocale::LastScript; ++s) {
        const QString code = QLocale::scriptToCode(QLocale::Script(s));
        if (allScripts.indexOf(code) % 4 == 0) scriptCodes[code.toStdString()] = s;
    }
    scriptCodes["Zzzz"] = QLocale::AnyScript;

    // Which locale each language chooses in each of its own scripts and in none, by territory. A
    // script the language's locales do not use chooses as no script does.
    struct Choice {
        int language, script, locale;
        std::vector<std::pair<int, int>> exceptions;
    };
    std::vector<Choice> choices;
    for (int l = QLocale::C + 1; l <= QLocale::LastLanguage; ++l) {
        const QString languageCode = QLocale::languageToCode(QLocale::Language(l));
        if (languageCode.isEmpty()) continue;
        QList<int> scripts = scriptsOfLanguage.value(l).values();
        scripts.removeAll(QLocale::AnyScript);
        std::sort(scripts.begin(), scripts.end());
        scripts.prepend(QLocale::AnyScript);
        for (const int s : scripts) {
            const QString prefix = s == QLocale::AnyScript ? languageCode : languageCode + u'_' + QLocale::scriptToCode(QLocale::Script(s));
            Choice choice{l, s, positionOfName(prefix), {}};
            for (int t = 1; t <= QLocale::LastTerritory; ++t) {
                const int position = positionOfName(prefix + u'_' + QLocale::territoryToCode(QLocale::Territory(t)));
                if (position != choice.locale) choice.exceptions.emplace_back(t, position);
            }
            choices.push_back(std::move(choice));
        }
    }

    std::size_t exceptions = 0;
    for (const Choice& choice : choices) exceptions += choice.exceptions.size();
    if (exceptions > 0xFFFF || locales.size() > 0xFFFF) {
        std::fprintf(stderr, "the tables outgrow their 16-bit positions\n");
        return 1;
    }
    std::printf("// Written by src/generators/locale_table_generator.cpp from the locales of Qt %s: do not edit.\n\n", qVersion());
    std::printf("#include \"quenarch/freedesktop/locale_data.h\"\n\nnamespace quenarch::freedesktop::localeData {\nnamespace {\n\n");
    std::printf("constexpr NumberFormat numberFormatData[] = {\n");
    for (const auto& [thousands, decimal] : numberFormats.values()) std::printf("    {%s, %s},\n", literal(thousands).c_str(), literal(decimal).c_str());
    std::printf("};\n\nconstexpr DateFormat dateFormatData[] = {\n");
    for (const DateFormat& date : dateFormats.values()) {
        std::printf("    {");
        for (std::size_t i = 0; i < date.size(); ++i) {
            if (i == 6 || i == 18) std::printf("{");
            std::printf("%s", literal(date[i]).c_str());
            std::printf(i == 17 || i == 29 ? "}" : "");
            std::printf(i + 1 < date.size() ? ", " : "");
        }
        std::printf("},\n");
    }
    std::printf("};\n\nconstexpr Locale localeData[] = {\n");
    for (const Entry& entry : locales)
        std::printf("    {%s, %s, %d, %d},\n", literal(entry.name).c_str(), literal(entry.minimalName).c_str(), entry.numbers, entry.dates);
    std::printf("};\n\n");
    writeCodes("languageCode", languageCodes);
    writeCodes("scriptCode", scriptCodes);
    writeCodes("territoryCode", territoryCodes);
    std::printf("constexpr Choice choiceData[] = {\n");
    int exceptionCount = 0;
    for (const Choice& choice : choices) {
        std::printf("    {%d, %d, %d, %d, %d},\n", choice.language, choice.script, choice.locale, exceptionCount, static_cast<int>(choice.exceptions.size()));
        exceptionCount += static_cast<int>(choice.exceptions.size());
    }
    std::printf("};\n\nconstexpr TerritoryException territoryExceptionData[] = {\n");
    for (const Choice& choice : choices)
        for (const auto& [territory, locale] : choice.exceptions) std::printf("    {%d, %d},\n", territory, locale);
    std::printf("};\n\n} // namespace\n\n");
    std::printf("const std::span<const NumberFormat> numberFormats(numberFormatData);\n"
                "const std::span<const DateFormat> dateFormats(dateFormatData);\n"
                "const std::span<const Locale> locales(localeData);\n"
                "const std::uint16_t cLocale = %d;\n"
                "const std::span<const Code> languageCodes(languageCodeData);\n"
                "const std::span<const Code> scriptCodes(scriptCodeData);\n"
                "const std::span<const Code> territoryCodes(territoryCodeData);\n"
                "const std::span<const Choice> choices(choiceData);\n"
                "const std::span<const TerritoryException> territoryExceptions(territoryExceptionData);\n\n"
                "} // namespace quenarch::freedesktop::localeData\n",
                positionOfName(QStringLiteral("C")));
    return 0;
}
