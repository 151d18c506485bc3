#include "support/test_platform.h"

#include "quenarch/base/utf8.h"

#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quenarch {
namespace {

struct ListerRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program as a user would, in a fixed locale (unless given another) and time zone and
// with no saved regional settings; its standard input is the file given, or empty.
ListerRun run(const QString& program, const QStringList& arguments, const QString& locale = QStringLiteral("C.UTF-8"),
              const QString& standardInputFile = {})
{
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", locale);
    environment.insert("LANGUAGE", "");
    environment.insert("TZ", "UTC");
    environment.insert("XDG_CONFIG_HOME", config.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!standardInputFile.isEmpty()) process.setStandardInputFile(standardInputFile);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

ListerRun runLister(const QStringList& arguments, const QString& locale = QStringLiteral("C.UTF-8"))
{
    return run(QUENARCH_LISTER, arguments, locale);
}

// Runs the lister from a shell script, for what a process cannot be given otherwise (a closed
// descriptor, a path that is not UTF-8): "$0" is the lister, "$1"... the arguments.
ListerRun runListerInShell(const QString& script, const QStringList& arguments = {})
{
    return run(QStringLiteral("/bin/sh"), QStringList{"-c", script, QUENARCH_LISTER} + arguments);
}

// The JSON objects of a listing, one a line.
std::vector<QJsonObject> jsonLines(const std::string& out)
{
    std::vector<QJsonObject> objects;
    for (const QByteArray& line : QByteArray::fromStdString(out).split('\n'))
        if (!line.isEmpty()) objects.push_back(QJsonDocument::fromJson(line).object());
    return objects;
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
        {{"list", "--format", "jar", demo}, 1, "unknown format 'jar'"},
        {{"list", "--format"}, 1, "unknown option '--format'"},
        {{"list", "-", demo}, 1, "standard input ('-') needs --format"},
        {{"list", "--json", "-h", "--bogus"}, 0, "--format FORMAT"},
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

// A file is valid only when it listed as an archive of its kind; anything else is named on
// standard error, exits 2, and the archives after it are still listed.
TEST(ListerProgram, ExitsTwoForEachKindOfFailureAndListsTheRest)
{
    test::TempDir folder;
    const std::string demoBytes = test::readFile(demo.toStdString());
    struct Case {
        std::string file;           // written into the folder, unless absolute
        std::string bytes;
        std::string message;        // after "quenarch: PATH: "
        std::optional<bool> valid;  // the object's "valid", or no object at all
    };
    const Case cases[] = {
        {"notes.zip", "plain text, no archive", "not a valid ZIP archive", false},
        {"three.zip", "PK\x03", "not a valid ZIP archive", false},
        {"demo.cab", demoBytes, "not a valid CAB archive", false},
        {"truncated.zip", demoBytes.substr(0, demoBytes.size() / 3), "not a valid ZIP archive", false},
        {"notes.txt", "plain text", "This is not a valid archive (error 321)", std::nullopt},
        {"/no/such/folder/a.zip", "", "Path/File not found (error 75)", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::string path = c.file.starts_with('/') ? c.file : folder.write(c.file, c.bytes).string();
        const ListerRun run = runLister({"list", "--json", QString::fromStdString(path), demo});
        EXPECT_EQ(run.exitCode, 2) << c.file;
        EXPECT_EQ(run.err, "quenarch: " + path + ": " + c.message + "\n");
        const std::vector<QJsonObject> listed = jsonLines(run.out);
        ASSERT_EQ(listed.size(), c.valid ? 2u : 1u) << run.out;
        if (c.valid) {
            EXPECT_EQ(listed.front()["file"].toString().toStdString(), path);
            EXPECT_EQ(listed.front()["valid"], QJsonValue(*c.valid));
            EXPECT_EQ(listed.front()["rows"].toArray().at(0).toObject()["name"].toString(), "No valid archive");
        }
        EXPECT_EQ(listed.back()["valid"], QJsonValue(true));
        EXPECT_EQ(listed.back()["rows"].toArray().size(), 8);
    }
    const ListerRun valid = runLister({"list", demo, dataPath("zip/comment.zip")});
    EXPECT_EQ(valid.exitCode, 0);
    EXPECT_EQ(valid.err, "");
}

// Output that cannot be written is one message and exit 2, not a listing reported as made.
TEST(ListerProgram, AFailedWriteOfStandardOutputExitsTwo)
{
    struct Case {
        const char* script;
        QStringList arguments;
        std::string message;
    };
    const Case cases[] = {
        {"exec \"$0\" \"$@\" >/dev/full", {"list", demo}, "quenarch: standard output: No space left on device\n"},
        {"exec \"$0\" \"$@\" >/dev/full", {"list", "--json", demo, demo}, "quenarch: standard output: No space left on device\n"},
        {"exec \"$0\" \"$@\" >/dev/full", {"typelib"}, "quenarch: standard output: No space left on device\n"},
        {"exec \"$0\" \"$@\" >&-", {"list", demo}, "quenarch: standard output: Bad file descriptor\n"},
        {"exec \"$0\" \"$@\" >&-", {"--help"}, "quenarch: standard output: Bad file descriptor\n"},
    };
    for (const Case& c : cases) {
        const ListerRun run = runListerInShell(c.script, c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.script << " " << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, c.message) << c.arguments.join(' ').toStdString();
    }
}

TEST(ListerProgram, AReaderThatClosesThePipeEndsTheListingQuietly)
{
#ifndef QUENARCH_GENERATED_TEST_DATA
    GTEST_SKIP() << "the many-member archives are written with Python";
#else
    // Far more than a pipe holds, so that the lister is still writing when head is done.
    const ListerRun run = runListerInShell("\"$0\" list --json \"$1\" | head -c 10 >/dev/null",
                                           {QUENARCH_GENERATED_TEST_DATA "/zip/many-40000.zip"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
#endif
}

// The rows' full paths and folder flags are those the peers list for the same entries; the
// control gives no row for an entry whose name has no base (".profile", a first folder alone).
TEST(ListerProgram, JsonPathsAndFolderFlagsMatchThePeersListings)
{
    struct Case {
        std::string archive;
        std::set<std::string> withoutRow;
    };
    const Case cases[] = {
        {"zip/tree.zip", {"docs", ".profile", "  .cfg"}},
        {"zip/tree-7zip.zip", {"docs", "empty"}},
        {"zip/dos-backslash.zip", {}},
        {"zip/greeting.jar", {"META-INF"}},
        {"arj/tree.arj", {}},
        {"lzh/level2.lzh", {}},
        {"lzh/level1.lzh", {}},
        {"cab/names.cab", {".profile", "  .cfg"}},
        {"rar/rar5-subdirs.rar", {}},
        {"rar/rar3-subdirs.rar", {}},
        {"arc/mixed.arc", {}},
    };
    for (const Case& c : cases) {
        const std::string peerListing = c.archive.substr(0, c.archive.rfind('.')) + ".lsar.json";
        std::set<std::pair<std::string, bool>> expected;
        const QJsonObject peer = QJsonDocument::fromJson(QByteArray::fromStdString(test::readFile(test::testData(peerListing)))).object();
        for (const QJsonValue entry : peer["lsarContents"].toArray()) {
            const std::string path = entry.toObject()["XADFileName"].toString().toStdString();
            if (!c.withoutRow.contains(path)) expected.insert({path, entry.toObject()["XADIsDirectory"].toInt() != 0});
        }
        // The extension chooses the reader, but for the .jar.
        const QStringList format = c.archive.ends_with(".jar") ? QStringList{"--format", "zip"} : QStringList{};
        const ListerRun run = runLister(QStringList{"list", "--json"} + format + QStringList{dataPath(c.archive.c_str())});
        EXPECT_EQ(run.exitCode, 0) << c.archive << run.err;
        const std::vector<QJsonObject> listed = jsonLines(run.out);
        ASSERT_EQ(listed.size(), 1u) << c.archive;
        EXPECT_EQ(listed[0]["valid"], QJsonValue(true));
        std::set<std::pair<std::string, bool>> rows;
        for (const QJsonValue row : listed[0]["rows"].toArray())
            rows.insert({row.toObject()["path"].toString().toStdString(), row.toObject()["isDir"].toBool()});
        EXPECT_EQ(rows, expected) << c.archive;
    }
}

// A ZIP by another name lists with --format, as does one read from standard input.
TEST(ListerProgram, TheChosenReaderListsWhateverTheNameOrFromStandardInput)
{
    const QString jar = dataPath("zip/greeting.jar");
    const ListerRun byName = runLister({"list", jar});
    EXPECT_EQ(byName.exitCode, 2);
    EXPECT_EQ(byName.err, "quenarch: " + jar.toStdString() + ": This is not a valid archive (error 321)\n");

    const ListerRun chosen = runLister({"list", "--json", "--format=zip", jar});
    EXPECT_EQ(chosen.exitCode, 0) << chosen.err;
    const QJsonArray jarRows = jsonLines(chosen.out).at(0)["rows"].toArray();
    ASSERT_EQ(jarRows.size(), 2);
    EXPECT_EQ(jarRows[0].toObject()["path"].toString(), "META-INF/MANIFEST.MF");
    EXPECT_EQ(jarRows[1].toObject()["path"].toString(), "hello/greeting.txt");

    // Read once, standard input lists as often as it is named, as the file itself does.
    const ListerRun fromFile = runLister({"list", "--json", demo});
    const ListerRun fromInput = run(QUENARCH_LISTER, {"list", "--json", "--format", "ZIP", "-", "-"}, "C.UTF-8", demo);
    EXPECT_EQ(fromInput.exitCode, 0) << fromInput.err;
    const std::vector<QJsonObject> inputListings = jsonLines(fromInput.out);
    ASSERT_EQ(inputListings.size(), 2u);
    for (const QJsonObject& listing : inputListings) {
        EXPECT_EQ(listing["file"].toString(), "-");
        EXPECT_EQ(listing["valid"], QJsonValue(true));
        EXPECT_EQ(listing["rows"], jsonLines(fromFile.out).at(0)["rows"]);
    }
    const ListerRun wrongReader = run(QUENARCH_LISTER, {"list", "--format", "cab", "-"}, "C.UTF-8", demo);
    EXPECT_EQ(wrongReader.exitCode, 2);
    EXPECT_EQ(wrongReader.err, "quenarch: -: not a valid CAB archive\n");
}

// Names the archive does not mark, and that are not UTF-8, read in the format's code page;
// proper-casing lower-cases every letter that has a lower case, the circled ones too.
TEST(ListerProgram, NamesDecodeInTheFormatsCodePageAndProperCaseEveryLetter)
{
    struct Case {
        const char* archive;
        std::string name;
        std::string path;
    };
    const Case cases[] = {
        {"zip/cp437-infozip.zip", "Filename_with_æoå.txt", "filename_with_æoå.txt"},
        {"zip/cp437-infozip.zip", "Überblick.doc", "Ärger/Überblick.doc"},
        {"arj/ibm437.arj", "Grüße.txt", "GRüßE.TXT"},
        {"arc/ibm437.arc", "Café.txt", "CAFé.TXT"},
        {"rar/test_read_format_rar5_unicode.rar", "Ⓗⓐⓡⓓ ⓛⓘⓝⓚ.txt", "Ⓗⓐⓡⓓ Ⓛⓘⓝⓚ.txt"},
    };
    for (const Case& c : cases) {
        const ListerRun run = runLister({"list", "--json", dataPath(c.archive)});
        EXPECT_EQ(run.exitCode, 0) << c.archive;
        bool found = false;
        for (const QJsonValue row : jsonLines(run.out).at(0)["rows"].toArray())
            found |= row.toObject()["name"].toString().toStdString() == c.name && row.toObject()["path"].toString().toStdString() == c.path;
        EXPECT_TRUE(found) << c.archive << ": " << c.name << "\n" << run.out;
    }
}

// A path that is not UTF-8 still gives a line every strict parser takes, and the exact bytes.
TEST(ListerProgram, APathThatIsNotUtf8StaysValidJsonWithItsExactBytes)
{
    test::TempDir folder;
    const std::string demoBytes = test::readFile(demo.toStdString());
    struct Case {
        std::string name; // as printf writes it
        std::string shown;
        std::string hex;
    };
    const Case cases[] = {
        {"\\377\\376.zip", "\uFFFD\uFFFD.zip", "fffe2e7a6970"},
        {"caf\\351.zip", "caf\uFFFD.zip", "636166e92e7a6970"},
        // A surrogate's and an overlong form's bytes are no UTF-8 either.
        {"\\355\\240\\200\\300\\257.zip", "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD.zip", "eda080c0af2e7a6970"},
    };
    for (const Case& c : cases) {
        const ListerRun run = runListerInShell("cd \"$1\" && name=$(printf \"$2\") && cp \"$3\" \"$name\" && exec \"$0\" list --json \"$name\"",
                                               {QString::fromStdString(folder.path().string()), QString::fromStdString(c.name), demo});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(isValidUtf8(run.out)) << run.out;
        const std::vector<QJsonObject> listed = jsonLines(run.out);
        ASSERT_EQ(listed.size(), 1u) << run.out;
        EXPECT_EQ(listed[0]["file"].toString().toStdString(), c.shown);
        EXPECT_EQ(listed[0]["fileHex"].toString().toStdString(), c.hex);
        EXPECT_EQ(listed[0]["rows"].toArray().size(), 8);
        // Keys for exact bytes come only with texts that need them.
        EXPECT_FALSE(listed[0]["rows"].toArray().at(0).toObject().contains("pathHex"));
    }
}

// An archive cut short while the lister reads it (a download being replaced, say) gives the rows
// read so far or the invalid-archive row, and the lister ends normally: reading never faults.
TEST(ListerProgram, AnArchiveCutShortWhileListedEndsTheListingNotTheProgram)
{
#ifndef QUENARCH_GENERATED_TEST_DATA
    GTEST_SKIP() << "the many-member archives are written with Python";
#else
    const test::TempDir folder;
    const std::filesystem::path archive = folder.path() / "shrinking.zip";
    for (const int delay : {0, 5, 10, 20, 40}) {
        std::filesystem::copy_file(std::filesystem::path(QUENARCH_GENERATED_TEST_DATA) / "zip/many-70000.zip", archive,
                                   std::filesystem::copy_options::overwrite_existing);
        QProcess lister;
        lister.start(QUENARCH_LISTER, {"list", "--json", QString::fromStdString(archive.string())});
        ASSERT_TRUE(lister.waitForStarted());
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        std::filesystem::resize_file(archive, 1000);
        ASSERT_TRUE(lister.waitForFinished(60000));
        SCOPED_TRACE(delay);
        ASSERT_EQ(lister.exitStatus(), QProcess::NormalExit);
        QJsonParseError error;
        const QJsonDocument listing = QJsonDocument::fromJson(lister.readAllStandardOutput(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError);
        const qsizetype rows = listing.object()["rows"].toArray().size();
        EXPECT_GE(rows, 1);
        EXPECT_LE(rows, 70000);
    }
#endif
}

} // namespace
} // namespace quenarch
