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

// Every text of the tables, kept once in one block: a table names a text by its place there.
class TextBlock {
public:
    // "{offset, length}" of the text, added to the block when it is new.
    std::string place(const std::string& text)
    {
        const auto [entry, added] = offsets_.try_emplace(text, block_.size());
        if (added) block_ += text;
        return "{" + std::to_string(entry->second) + ", " + std::to_string(text.size()) + "}";
    }

    // The block as a character array, written as string literals of a few dozen bytes each.
    void write() const
    {
        std::printf("constexpr char textData[] =");
        constexpr std::size_t piece = 64;
        for (std::size_t at = 0; at < block_.size(); at += piece) std::printf("\n    %s", literal(block_.substr(at, piece)).c_str());
        if (block_.empty()) std::printf(" \"\"");
        std::printf(";\n\n");
    }

private:
    std::string block_;
    std::map<std::string, std::size_t> offsets_;
};

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

// Every locale Qt knows, with the parts of its conventions kept once each.
struct Locales {
    struct Entry {
        std::string name, minimalName;
        int numbers, dates;
    };
    std::vector<Entry> entries;
    std::map<Key, int> positionOf;
    Interned<NumberFormat> numberFormats;
    Interned<DateFormat> dateFormats;
    QHash<int, QSet<int>> scriptsOfLanguage;

    Locales()
    {
        for (const QLocale& locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            const LocaleConventions c = quenarch::qt::desktopLocaleConventions(locale);
            DateFormat date{c.shortDatePattern, c.longTimePattern, c.dateSeparator, c.timeSeparator, c.amText, c.pmText};
            date.insert(date.end(), c.monthNames.begin(), c.monthNames.end());
            date.insert(date.end(), c.monthAbbreviations.begin(), c.monthAbbreviations.end());
            const bool isC = locale.language() == QLocale::C;
            positionOf.emplace(keyOf(locale), static_cast<int>(entries.size()));
            entries.push_back({locale.name().toStdString(), isC ? "C" : locale.bcp47Name().toStdString(),
                               numberFormats.add({c.thousandsSeparator, c.decimalPoint}), dateFormats.add(date)});
            scriptsOfLanguage[locale.language()].insert(locale.script());
        }
    }

    // The position of the locale that QLocale(name) chooses.
    int positionOfName(const QString& name) const
    {
        const auto found = positionOf.find(keyOf(QLocale(name)));
        if (found == positionOf.end()) {
            std::fprintf(stderr, "QLocale(%s) is no locale of matchingLocales()\n", qPrintable(name));
            std::exit(1);
        }
        return found->second;
    }
};

// The codes of locale names, as QLocale's code look-ups take them.
struct Codes {
    std::map<std::string, int> languages, territories, scripts;

    Codes()
    {
        const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        const QString alphanumerics = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
        // Every code of two or three characters.
        const auto eachCode = [](const QString& characters, auto take) {
            for (const QChar a : characters) {
                for (const QChar b : characters) {
                    take(QString(a) + b);
                    for (const QChar c : characters) take(QString(a) + b + c);
                }
            }
        };
        eachCode(letters, [&](const QString& code) {
            if (const QLocale::Language l = QLocale::codeToLanguage(code); l != QLocale::AnyLanguage) languages[code.toStdString()] = l;
        });
        eachCode(alphanumerics, [&](const QString& code) {
            if (const QLocale::Territory t = QLocale::codeToTerritory(code); t != QLocale::AnyTerritory) territories[code.toStdString()] = t;
        });
        // A locale name's script is a code of QLocale's table, found where a code starts in the
        // codes written one after another (the first, "Zzzz", stands for any script).
        QString allScripts = QStringLiteral("Zzzz");
        for (int s = 1; s <= QLocale::LastScript; ++s) allScripts += QLocale::scriptToCode(QLocale::Script(s));
        for (int s = 1; s <= QLocale::LastScript; ++s) {
            const QString code = QLocale::scriptToCode(QLocale::Script(s));
            if (allScripts.indexOf(code) % 4 == 0) scripts[code.toStdString()] = s;
        }
        scripts["Zzzz"] = QLocale::AnyScript;
    }
};

// Which locale a language chooses in one of its own scripts, or in none, and the territories
// that choose another.
struct Choice {
    int language, script, locale;
    std::vector<std::pair<int, int>> exceptions;
};

// For every language, in none and in each of the scripts its locales use: a script the
// language's locales do not use chooses as no script does.
std::vector<Choice> choicesOf(const Locales& locales)
{
    std::vector<Choice> choices;
    for (int l = QLocale::C + 1; l <= QLocale::LastLanguage; ++l) {
        const QString languageCode = QLocale::languageToCode(QLocale::Language(l));
        if (languageCode.isEmpty()) continue;
        QList<int> scripts = locales.scriptsOfLanguage.value(l).values();
        scripts.removeAll(QLocale::AnyScript);
        std::sort(scripts.begin(), scripts.end());
        scripts.prepend(QLocale::AnyScript);
        for (const int s : scripts) {
            const QString prefix = s == QLocale::AnyScript ? languageCode : languageCode + u'_' + QLocale::scriptToCode(QLocale::Script(s));
            Choice choice{l, s, locales.positionOfName(prefix), {}};
            for (int t = 1; t <= QLocale::LastTerritory; ++t) {
                const int position = locales.positionOfName(prefix + u'_' + QLocale::territoryToCode(QLocale::Territory(t)));
                if (position != choice.locale) choice.exceptions.emplace_back(t, position);
            }
            choices.push_back(std::move(choice));
        }
    }
    return choices;
}

void writeCodes(const char* name, const std::map<std::string, int>& codes, TextBlock& texts)
{
    std::printf("constexpr Code %sData[] = {\n", name);
    for (const auto& [code, id] : codes) std::printf("    {%s, %d},\n", texts.place(code).c_str(), id);
    std::printf("};\n");
}

void writeLocales(const Locales& locales, TextBlock& texts)
{
    std::printf("constexpr NumberFormat numberFormatData[] = {\n");
    for (const auto& [thousands, decimal] : locales.numberFormats.values())
        std::printf("    {%s, %s},\n", texts.place(thousands).c_str(), texts.place(decimal).c_str());
    std::printf("};\n\nconstexpr DateFormat dateFormatData[] = {\n");
    for (const DateFormat& date : locales.dateFormats.values()) {
        std::printf("    {");
        for (std::size_t i = 0; i < date.size(); ++i) {
            if (i == 6 || i == 18) std::printf("{"); // the month names, then their abbreviations
            std::printf("%s", texts.place(date[i]).c_str());
            std::printf(i == 17 || i == 29 ? "}" : "");
            std::printf(i + 1 < date.size() ? ", " : "");
        }
        std::printf("},\n");
    }
    std::printf("};\n\nconstexpr Locale localeData[] = {\n");
    for (const Locales::Entry& entry : locales.entries)
        std::printf("    {%s, %s, %d, %d},\n", texts.place(entry.name).c_str(), texts.place(entry.minimalName).c_str(), entry.numbers, entry.dates);
    std::printf("};\n\n");
}

void writeChoices(const std::vector<Choice>& choices)
{
    std::printf("constexpr Choice choiceData[] = {\n");
    int exceptionCount = 0;
    for (const Choice& choice : choices) {
        std::printf("    {%d, %d, %d, %d, %d},\n", choice.language, choice.script, choice.locale, exceptionCount, static_cast<int>(choice.exceptions.size()));
        exceptionCount += static_cast<int>(choice.exceptions.size());
    }
    std::printf("};\n\nconstexpr TerritoryException territoryExceptionData[] = {\n");
    for (const Choice& choice : choices)
        for (const auto& [territory, locale] : choice.exceptions) std::printf("    {%d, %d},\n", territory, locale);
    std::printf("};\n\n");
}

} // namespace

int main()
{
    const Locales locales;
    const Codes codes;
    const std::vector<Choice> choices = choicesOf(locales);
    std::size_t exceptions = 0;
    for (const Choice& choice : choices) exceptions += choice.exceptions.size();
    if (exceptions > 0xFFFF || locales.entries.size() > 0xFFFF) {
        std::fprintf(stderr, "the tables outgrow their 16-bit positions\n");
        return 1;
    }
    std::printf("// Written by src/generators/locale_table_generator.cpp from the locales of Qt %s: do not edit.\n\n", qVersion());
    std::printf("#include \"quenarch/freedesktop/locale_data.h\"\n\nnamespace quenarch::freedesktop::localeData {\nnamespace {\n\n");
    TextBlock texts;
    writeLocales(locales, texts);
    writeCodes("languageCode", codes.languages, texts);
    writeCodes("scriptCode", codes.scripts, texts);
    writeCodes("territoryCode", codes.territories, texts);
    writeChoices(choices);
    texts.write();
    std::printf("} // namespace\n\n");
    std::printf("Text::operator std::string_view() const { return {textData + offset_, length_}; }\n\n");
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
                locales.positionOfName(QStringLiteral("C")));
    return 0;
}
