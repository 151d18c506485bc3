// The freedesktop services against Qt on this machine: every glob of the MIME database and
// every locale Qt knows, the system locale and the MIME comments under many environments, each
// in a child process that Qt reads the environment in.

#include "quenarch/freedesktop/desktop_file_types.h"
#include "quenarch/freedesktop/locale_data.h"
#include "quenarch/freedesktop/mime_database.h"
#include "quenarch/freedesktop/system_locale.h"
#include "quenarch/base/text_case.h"
#include "quenarch/qt/desktop_locale.h"
#include "support/test_platform.h"

#include <QLocale>
#include <QMimeDatabase>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace quenarch::freedesktop {
namespace {

using Variables = std::map<std::string, std::string>;

Environment environmentOf(const Variables& variables)
{
    const auto get = [&](const char* name) {
        const auto found = variables.find(name);
        return found == variables.end() ? std::string() : found->second;
    };
    return Environment{get("HOME"),   get("XDG_DATA_HOME"), get("XDG_DATA_DIRS"), get("XDG_CONFIG_HOME"), get("LC_ALL"),
                       get("LC_NUMERIC"), get("LC_TIME"),   get("LC_MESSAGES"),   get("LANG"),            get("LANGUAGE")};
}

std::string describe(const Variables& variables)
{
    std::string text;
    for (const auto& [name, value] : variables) text += name + "=" + value + " ";
    return text;
}

// The probe's output, one entry a line, under exactly these environment variables.
std::vector<std::string> probe(const char* mode, const Variables& variables, const std::string& input = {})
{
    QProcessEnvironment environment;
    for (const auto& [name, value] : variables) environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUENARCH_DESKTOP_PROBE), {QString::fromLatin1(mode)});
    process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    std::vector<std::string> lines;
    std::istringstream output(process.readAllStandardOutput().toStdString());
    for (std::string line; std::getline(output, line);) lines.push_back(line);
    return lines;
}

std::string conventionsText(const std::string& name, const LocaleConventions& c)
{
    std::string text = "name\t" + name + "\nthousandsSeparator\t" + c.thousandsSeparator + "\ndecimalPoint\t" + c.decimalPoint +
                       "\nshortDatePattern\t" + c.shortDatePattern + "\nlongTimePattern\t" + c.longTimePattern + "\ndateSeparator\t" +
                       c.dateSeparator + "\ntimeSeparator\t" + c.timeSeparator + "\namText\t" + c.amText + "\npmText\t" + c.pmText + "\n";
    for (int month = 0; month < 12; ++month) {
        text += "month" + std::to_string(month + 1) + "\t" + c.monthNames[month] + "\n";
        text += "monthAbbreviation" + std::to_string(month + 1) + "\t" + c.monthAbbreviations[month] + "\n";
    }
    return text;
}

// Every file name the database's own patterns spell: "x.ext" for each "*.ext", in its case and
// in upper case, the literal names, and names that the other patterns match.
std::vector<std::string> globFileNames()
{
    QSet<QString> names;
    for (const QMimeType& type : QMimeDatabase().allMimeTypes()) {
        for (const QString& pattern : type.globPatterns()) {
            if (pattern.startsWith(QStringLiteral("*."))) {
                names << u'x' + pattern.mid(1) << u'x' + pattern.mid(1).toUpper();
            } else if (!pattern.contains(u'*') && !pattern.contains(u'?') && !pattern.contains(u'[')) {
                names << pattern << pattern.toUpper();
            }
        }
    }
    for (const char* name : {"x.so.1", "libx.so.12.3", "x.1", "x.9", "x.0", "x.anim1", "x.animj", "x.anim0", "123.vdr", "readme",
                             "README.md", "makefile.am", "x.tar.gz", "x.TAR.GZ", "x~", "x.bak~", "x,v", "core", "Core", "x.", "x", "~", ".txt", "txt"})
        names << QString::fromLatin1(name);
    std::vector<std::string> sorted;
    for (const QString& name : names) sorted.push_back(name.toStdString());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

TEST(MimeDatabaseOracle, EveryGlobChoosesTheTypeAndIconsQtChooses)
{
    const QMimeDatabase qt;
    const MimeDatabase ours(MimeDatabase::foldersOf(Environment::current()));
    const std::vector<std::string> names = globFileNames();
    ASSERT_GT(names.size(), 1000u);
    for (const std::string& name : names) {
        const QMimeType expected = qt.mimeTypeForFile(QString::fromStdString(name), QMimeDatabase::MatchExtension);
        const std::string type = ours.typeOfFileName(name);
        ASSERT_EQ(type, expected.isDefault() ? std::string() : expected.name().toStdString()) << name;
        if (type.empty()) continue;
        EXPECT_EQ(ours.iconName(type), expected.iconName().toStdString()) << name;
        EXPECT_EQ(ours.genericIconName(type), expected.genericIconName().toStdString()) << name;
    }
    for (const QMimeType& type : qt.allMimeTypes()) {
        EXPECT_EQ(ours.knownType(type.name().toStdString()), type.name().toStdString());
        for (const QString& alias : type.aliases()) EXPECT_EQ(ours.knownType(alias.toStdString()), type.name().toStdString()) << alias.toStdString();
    }
    EXPECT_EQ(ours.knownType("no/such-type"), "");
}

// Languages of the environment, from single locales to lists in LANGUAGE that Qt reads past the
// first entry when a comment is missing in it.
const Variables commentEnvironments[] = {
    {{"LANG", "C"}},
    {},
    {{"LANG", "en_US.UTF-8"}},
    {{"LANG", "de_DE.UTF-8"}},
    {{"LC_ALL", "fr_FR.UTF-8"}, {"LANG", "de_DE.UTF-8"}},
    {{"LANG", "ja_JP.UTF-8"}},
    {{"LANG", "pt_BR.UTF-8"}},
    {{"LANG", "pt_PT.UTF-8"}},
    {{"LANG", "zh_TW.UTF-8"}},
    {{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", "zh_TW:zh_CN"}},
    {{"LANG", "en_GB.UTF-8"}},
    {{"LC_ALL", "sr_RS@latin"}},
    {{"LANG", "be_BY.UTF-8@latin"}},
    {{"LANG", "nb_NO.UTF-8"}},
    {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr:de"}},
    {{"LANG", "es_ES.UTF-8"}, {"LANGUAGE", "eo:ast:es"}},
    {{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "de_US:fr_CH:pt"}},
    {{"LANG", "C.UTF-8"}, {"LANGUAGE", "de"}},
    {{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "it_IT.UTF-8"}},
    {{"LANG", "xx_YY"}},
    {{"LANG", "fur_IT.UTF-8"}},
    {{"LANG", "ga_IE.UTF-8"}},
};

TEST(MimeCommentOracle, EachExtensionIsDescribedInTheLanguageQtChooses)
{
    const auto database = std::make_shared<const MimeDatabase>(MimeDatabase::foldersOf(environmentOf({})));
    std::vector<std::string> names;
    std::string input;
    for (const std::string& name : globFileNames()) {
        if (!name.starts_with("x.")) continue;
        names.push_back(name.substr(2));
        input += "x." + foldCase(name.substr(2)) + "\n";
    }
    for (const Variables& variables : commentEnvironments) {
        const DesktopFileTypes ours(database, commentLanguages(environmentOf(variables)));
        const std::vector<std::string> lines = probe("mime", variables, input);
        ASSERT_EQ(lines.size(), names.size()) << describe(variables);
        int mismatches = 0;
        for (std::size_t i = 0; i < names.size() && mismatches < 5; ++i) {
            const std::string expected = lines[i].substr(lines[i].find('\t') + 1, lines[i].find('\t', lines[i].find('\t') + 1) - lines[i].find('\t') - 1);
            const std::string comment = ours.description(names[i]).value_or("");
            if (comment != expected) {
                ADD_FAILURE() << describe(variables) << names[i] << ": " << comment << " != " << expected;
                ++mismatches;
            }
        }
    }
}

// A user's own MIME database before the system's: types of its own, a pattern the system gives
// another type at a higher weight, and a type whose system patterns it deletes.
TEST(MimeCommentOracle, AUserDatabaseComesBeforeTheSystemsAsInQt)
{
    const test::TempDir home;
    home.write("share/mime/packages/quenarch-test.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="text/plain">
    <glob-deleteall/>
    <glob pattern="*.plain"/>
    <comment>Local plain text</comment>
  </mime-type>
  <mime-type type="application/x-quenarch-test">
    <comment>Quen test &amp; more</comment>
    <comment xml:lang="de">Quen-Test</comment>
    <glob pattern="*.qtest"/>
    <glob pattern="*.html" weight="40"/>
    <glob pattern="*.MD" case-sensitive="true" weight="60"/>
    <icon name="quen-icon"/>
    <generic-icon name="quen-generic"/>
  </mime-type>
</mime-info>
)");
    const QString data = QString::fromStdString((home.path() / "share").string());
    QProcess update;
    update.setStandardErrorFile(QProcess::nullDevice()); // it notes that the folder is not one of the user's
    update.start(QStringLiteral("update-mime-database"), {data + QStringLiteral("/mime")});
    ASSERT_TRUE(update.waitForFinished(60000) && update.exitCode() == 0);
    std::string input;
    for (const char* name : {"x.txt", "x.plain", "x.qtest", "x.html", "x.MD", "x.md", "x.c", "x.png"}) input += std::string(name) + "\n";
    for (const char* language : {"C", "de_DE.UTF-8"}) {
        const Variables variables{{"HOME", home.path().string()}, {"XDG_DATA_HOME", data.toStdString()}, {"LANG", language}};
        const Environment environment = environmentOf(variables);
        const MimeDatabase ours(MimeDatabase::foldersOf(environment));
        std::string expected, answered;
        for (const std::string& line : probe("mime", variables, input)) expected += line + "\n";
        std::istringstream names(input);
        for (std::string name; std::getline(names, name);) {
            const std::string type = ours.typeOfFileName(name);
            answered += type.empty() ? "\t\t\t\n"
                                     : type + "\t" + ours.comment(type, commentLanguages(environment)) + "\t" + ours.iconName(type) + "\t" +
                                           ours.genericIconName(type) + "\n";
        }
        EXPECT_EQ(answered, expected) << language;
    }
}

// Names of every locale Qt knows, in the forms the environment spells them, with odd pairs,
// codes of other kinds and names that are no locale at all.
std::vector<std::string> localeNames()
{
    std::vector<std::string> names{"",      "C",      "POSIX",        "C.UTF-8",   "C.utf8",     "en_US.ISO-8859-1", "xx",
                                   "xx_YY", "english", "de_",         "_DE",       "de__DE",     "de..UTF-8",        "de_DE@euro",
                                   "DE_de", "de-AT",  "deu_DE",       "ger_DE",    "iw_IL",      "no_NO",            "tl",
                                   "sh",    "mo",     "in_ID",        "ji",        "es_419",     "es_419.UTF-8",     "en_001",
                                   "en_150", "zh_Hant_TW", "zh_Hans", "zh_Hant",   "sr_Latn_RS", "sr_Latn",          "sr_Cyrl_BA",
                                   "uz_Arab", "pa_Arab_PK", "de_Latn_DE", "de_Cyrl_DE", "de_latn_DE", "en_Zzzz_GB", "de_US", "en_DE",
                                   "fr_JP", "ja_FR", "ar_US", "ru_UA", "pt_MO", "zz_ZZ", "de_ZZ", "de_DE1", "d3_DE", "123", "de_XA"};
    const QList<QLocale> all = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale& locale : all) {
        const std::string name = locale.name().toStdString();
        const std::string language = QLocale::languageToCode(locale.language()).toStdString();
        const std::string script = QLocale::scriptToCode(locale.script()).toStdString();
        const std::string territory = QLocale::territoryToCode(locale.territory()).toStdString();
        for (const std::string& form : {name, name + ".UTF-8", name + ".UTF-8@euro", locale.bcp47Name().toStdString(), language,
                                        language + "_" + script + "_" + territory, language + "-" + script, toUpper(name)})
            names.push_back(form);
    }
    for (int language = QLocale::C + 1; language <= QLocale::LastLanguage; ++language) {
        const std::string code = QLocale::languageToCode(QLocale::Language(language), QLocale::ISO639Part3).toStdString();
        names.push_back(code);
        for (const char* territory : {"_US", "_DE", "_CN", "_BR", "_IN"}) names.push_back(code + territory);
    }
    return names;
}

TEST(LocaleOracle, EveryLocaleNameChoosesTheConventionsQtChooses)
{
    int mismatches = 0;
    for (const std::string& name : localeNames()) {
        const QLocale qt(QString::fromStdString(name));
        const std::string expected = conventionsText(qt.name().toStdString(), qt::desktopLocaleConventions(qt));
        const std::string ours = conventionsText(std::string(localeData::locales[localeNamed(name)].name), systemLocaleConventions(environmentOf({{"LANG", name}})));
        if (ours != expected && ++mismatches <= 10) ADD_FAILURE() << name << ":\n" << ours << "!=\n" << expected;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(LocaleOracle, TheSystemLocaleFollowsTheEnvironmentAsQtReadsIt)
{
    const Variables environments[] = {
        {},
        {{"LANG", "de_DE.UTF-8"}},
        {{"LC_ALL", "de_DE.UTF-8"}, {"LANG", "fr_FR.UTF-8"}},
        {{"LANG", "fr_FR.UTF-8"}, {"LC_TIME", "de_DE.UTF-8"}},
        {{"LANG", "en_US.UTF-8"}, {"LC_NUMERIC", "de_DE.UTF-8"}},
        {{"LANG", "en_US.UTF-8"}, {"LC_NUMERIC", "fr_FR.UTF-8"}, {"LC_TIME", "ja_JP.UTF-8"}, {"LC_MESSAGES", "ru_RU.UTF-8"}},
        {{"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}},
        {{"LC_ALL", "POSIX"}},
        {{"LANG", "C.UTF-8"}, {"LANGUAGE", "de"}},
        {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr"}},
        {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "de_AT:de"}},
        {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", ":fr"}},
        {{"LANG", "de_US"}},
        {{"LANG", "en_DE.UTF-8"}},
        {{"LC_MESSAGES", "fi_FI.UTF-8"}, {"LANG", "sv_SE.UTF-8"}},
        {{"LC_TIME", "hu_HU.UTF-8"}},
        {{"LANG", "sr_RS@latin"}},
        {{"LANG", "zh_TW.UTF-8"}},
        {{"LANG", "xx_YY.UTF-8"}, {"LANGUAGE", "pt_BR"}},
    };
    for (const Variables& variables : environments) {
        const std::vector<std::string> lines = probe("locale", variables);
        std::string expected;
        for (const std::string& line : lines) expected += line + "\n";
        const Environment environment = environmentOf(variables);
        EXPECT_EQ(conventionsText(systemLocaleName(environment), systemLocaleConventions(environment)), expected) << describe(variables);
    }
}

} // namespace
} // namespace quenarch::freedesktop
