#include "support/test_platform.h"

#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

namespace quenarch {
namespace {

struct ListerRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built lister as a user would, in a fixed locale (unless given another) and time zone
// and with no saved regional settings.
ListerRun runLister(const QStringList& arguments, const QString& locale = QStringLiteral("C.UTF-8"))
{
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", locale);
    environment.insert("LANGUAGE", "");
    environment.insert("TZ", "UTC");
    environment.insert("XDG_CONFIG_HOME", config.path());
    QProcess lister;
    lister.setProcessEnvironment(environment);
    lister.start(QUENARCH_LISTER, arguments);
    if (!lister.waitForFinished(60000)) return {};
    return {lister.exitStatus() == QProcess::NormalExit ? lister.exitCode() : -1, lister.readAllStandardOutput().toStdString(),
            lister.readAllStandardError().toStdString()};
}

QString dataPath(const char* name) { return QString::fromStdString(test::testData(name).string()); }
const QString demo = QStringLiteral(QUENARCH_SOURCE_DIR "/examples/demo.zip");

TEST(ListerProgram, ReportsEachFailureAndGoesOnWithTheNextArchive)
{
    test::TempDir folder;
    const QString notAnArchive = QString::fromStdString(folder.write("notes.txt", "plain text").string());
    const ListerRun run = runLister({"list", "/no/such/folder/a.zip", demo, notAnArchive, dataPath("zip/comment.zip")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "quenarch: /no/such/folder/a.zip: Path/File not found (error 75)\n"
                       "quenarch: " + notAnArchive.toStdString() + ": This is not a valid archive (error 321)\n");
    // Both listings are there, named, and set apart by one blank line.
    EXPECT_TRUE(run.out.starts_with(demo.toStdString() + ":\nName ")) << run.out;
    EXPECT_NE(run.out.find("\n8 rows; type: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\n\n" + dataPath("zip/comment.zip").toStdString() + ":\nName "), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with("; comment: Quarterly figures, second draft\n")) << run.out;
}

TEST(ListerProgram, UsageErrorsAndHelp)
{
    struct Case {
        QStringList arguments;
        int exitCode;
        std::string inOutput; // on standard output for help, on standard error otherwise
    };
    const Case cases[] = {
        {{"--help"}, 0, "--encoding NAME"},
        {{"list"}, 1, "no archive given"},
        {{"list", "--bogus", demo}, 1, "unknown option '--bogus'"},
        {{"list", "--encoding", "no-such-encoding", demo}, 1, "unknown encoding: no-such-encoding"},
    };
    for (const Case& c : cases) {
        const ListerRun run = runLister(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        const std::string& shown = c.exitCode == 0 ? run.out : run.err;
        EXPECT_NE(shown.find(c.inOutput), std::string::npos) << shown;
    }
}

TEST(ListerProgram, TheChosenEncodingDecodesUnmarkedNames)
{
    const QString archive = dataPath("zip/cp1252-infozip.zip");
    const auto firstName = [](const ListerRun& run) {
        const QJsonObject listing = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
        return listing["rows"].toArray().at(0).toObject()["name"].toString().toStdString();
    };
    // The bytes are Windows-1252; unmarked ZIP names read as IBM437 unless another encoding is chosen.
    EXPECT_EQ(firstName(runLister({"list", "--json", archive})), "Cafθ.txt");
    EXPECT_EQ(firstName(runLister({"list", "--json", "--encoding", "windows-1252", archive})), "Café.txt");
}

// The desktop's file types in the user's language, with the dates and numbers of the user's
// locale, as the shared MIME database and Qt's locale data of this system give them.
TEST(ListerProgram, ListsInTheUsersLanguageAndConventions)
{
    const ListerRun run = runLister({"list", demo}, QStringLiteral("de_DE.UTF-8"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "Name          Size  Packed  Type                       Modified\n"
                       "Readme.md       15      15  Markdown-Dokument          14.03.2026 09:26\n"
                       "Notes.txt       14      14  Einfaches Textdokument     14.03.2026 09:26\n"
                       "Index.html      14      12  HTML-Dokument              14.03.2026 09:26\n"
                       "Main.c          25      25  C-Quelltext                14.03.2026 09:26\n"
                       "Util.h          13      13  C-Header                   14.03.2026 09:26\n"
                       "Logo.png     1.795   1.795  PNG-Bild                   14.03.2026 09:26\n"
                       "Data.bin    20.000  20.000  bin file                   14.03.2026 09:26\n"
                       "Setup.exe        1       1  DOS/Windows-Programmdatei  14.03.2026 09:26\n"
                       "8 rows; type: Zip-Archiv; comment: Demo archive for quenarch\n");
    const QJsonObject listing = QJsonDocument::fromJson(QByteArray::fromStdString(runLister({"list", "--json", demo}, "de_DE.UTF-8").out)).object();
    const QJsonObject first = listing["rows"].toArray().at(0).toObject();
    EXPECT_EQ(first["type"].toString(), QStringLiteral("Markdown-Dokument"));
    EXPECT_EQ(first["date"].toString(), QStringLiteral("2026-03-14"));
}

} // namespace
} // namespace quenarch
