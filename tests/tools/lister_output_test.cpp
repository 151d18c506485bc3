#include "json_text.h"
#include "listing_printer.h"

#include "quenarch/control/archive_source.h"
#include "quenarch/control/headless_host.h"
#include "quenarch/control/quen_archive.h"
#include "support/test_platform.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace quenarch {
namespace {

// What the lister prints for a control on the test platform (US English, fixed file types).
class ListerOutputTest : public testing::Test {
protected:
    void open(const std::filesystem::path& archive) { control.LetArchive(Variant(archive.string())); }

    // The report, and the sizes of the pieces it came in.
    std::string report(std::vector<std::size_t>* pieceSizes = nullptr)
    {
        std::string text;
        lister::writeReport(control, [&](std::string_view piece) {
            text.append(piece);
            if (pieceSizes != nullptr) pieceSizes->push_back(piece.size());
        });
        return text;
    }

    test::TestPlatform t;
    HeadlessHost host;
    QuenArchive control{host, t.platform};
    test::TempDir folder;
};

QJsonObject json(QuenArchive& control)
{
    std::string text;
    lister::writeJson(control, "as given", [&](std::string_view piece) { text.append(piece); });
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

TEST_F(ListerOutputTest, ReportsRightAlignSizesPadByCharactersAndEndWithTheSummary)
{
    struct Case {
        std::filesystem::path archive;
        std::string report;
    };
    const Case cases[] = {
        {test::testData("zip/comment.zip"),
         "Name         Size  Packed  Type           Modified\n"
         "Letter.txt     33      33  Text Document  4/1/2021 10:00\n"
         "Figures.csv    24      24  csv file       4/1/2021 10:30\n"
         "2 rows; type: Compressed (zipped) Folder; comment: Quarterly figures, second draft\n"},
        // "θ" and "ç" (Windows-1252 bytes read in IBM437) are one column each, however many
        // bytes they take.
        {test::testData("zip/cp1252-infozip.zip"),
         "Name              Size  Packed  Type           Modified\n"
         "Cafθ.txt             2       2  Text Document  8/9/2012 10:11\n"
         "Price ç list.txt     7       7  Text Document  8/9/2012 10:11\n"
         "Rθsumθ.doc           3       3  Document       8/9/2012 10:11\n"
         "3 rows; type: Compressed (zipped) Folder; comment: \n"},
        // Blank cells leave no blanks at the line's end.
        {folder.write("junk.zip", "not an archive"),
         "Name              Size  Packed  Type  Modified\n"
         "No valid archive   0Kb     0Kb\n"
         "1 row; type: No valid archive; comment: \n"},
    };
    for (const Case& c : cases) {
        open(c.archive);
        EXPECT_EQ(report(), c.report) << c.archive;
    }
}

TEST_F(ListerOutputTest, ALongListingComesInPiecesThatMakeItWhole)
{
#ifndef QUENARCH_GENERATED_TEST_DATA
    GTEST_SKIP() << "the many-member archives are written with Python";
#else
    open(std::filesystem::path(QUENARCH_GENERATED_TEST_DATA) / "zip/many-40000.zip");
    std::vector<std::size_t> pieces;
    const std::string text = report(&pieces);
    EXPECT_GT(pieces.size(), 2u);
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    const std::size_t sizeColumnEnd = line.find("Size") + 4;
    std::size_t rows = 0;
    while (std::getline(lines, line) && !line.starts_with("40000 rows")) {
        ++rows;
        // Every size ends under the end of its heading, across the pieces' seams.
        ASSERT_GE(line.size(), sizeColumnEnd) << line;
        EXPECT_NE(line[sizeColumnEnd - 1], ' ') << line;
        EXPECT_EQ(line[sizeColumnEnd], ' ') << line;
    }
    EXPECT_EQ(rows, 40000u);
    EXPECT_TRUE(line.starts_with("40000 rows; type: ")) << line;
    EXPECT_EQ(json(control)["rows"].toArray().size(), 40000);
#endif
}

TEST_F(ListerOutputTest, JsonHoldsTheRowsTextsAndTheirValues)
{
    open(test::testData("zip/comment.zip"));
    const QJsonObject archive = json(control);
    EXPECT_EQ(archive["archive"].toString().toStdString(), QString::fromStdString(test::testData("zip/comment.zip").string()).toUpper().toStdString());
    EXPECT_EQ(archive["type"].toString(), "Compressed (zipped) Folder");
    EXPECT_EQ(archive["comment"].toString(), "Quarterly figures, second draft");
    const QJsonArray rows = archive["rows"].toArray();
    ASSERT_EQ(rows.size(), 2);
    const QJsonObject first = rows[0].toObject();
    EXPECT_EQ(first["name"].toString(), "Letter.txt");
    EXPECT_EQ(first["size"].toString(), "33");
    EXPECT_EQ(first["bytes"].toInteger(), 33);
    EXPECT_EQ(first["packedBytes"].toInteger(), 33);
    EXPECT_EQ(first["modified"].toString(), "4/1/2021 10:00");
    EXPECT_EQ(first["date"].toString(), "2021-04-01");
    EXPECT_EQ(first["time"].toString(), "10:00:00");
    EXPECT_EQ(first["icon"].toString().toStdString(), "xtxt");
    EXPECT_FALSE(first["crc"].toString().isEmpty());

    open(folder.write("junk.zip", "not an archive"));
    const QJsonObject invalid = json(control)["rows"].toArray()[0].toObject();
    EXPECT_EQ(invalid["size"].toString(), "0Kb");
    EXPECT_TRUE(invalid["bytes"].isNull());
    EXPECT_EQ(invalid["icon"].toString().toStdString(), "error");
}

TEST(JsonText, EveryStringIsValidUtf8AndSaysWhetherItHoldsTheTextExactly)
{
    struct Case {
        std::string text;
        std::string literal;
        bool exact;
    };
    const Case cases[] = {
        {"plain.txt", "\"plain.txt\"", true},
        {"say \"hi\"\\now", "\"say \\\"hi\\\"\\\\now\"", true},
        {"tab\tnew\nbell\x07" "del\x7F", "\"tab\\tnew\\nbell\\u0007del\\u007F\"", true},
        {std::string("nul\0end", 7), "\"nul\\u0000end\"", true},
        {"Café 日本 👋", "\"Café 日本 👋\"", true},
        // Each byte that starts no UTF-8 character is one replacement: a stray byte, an overlong
        // form, a surrogate, a sequence cut short, a code point past U+10FFFF.
        {"\xFF" "a", "\"\\uFFFDa\"", false},
        {"\xC0\xAF", "\"\\uFFFD\\uFFFD\"", false},
        {"\xED\xA0\x80", "\"\\uFFFD\\uFFFD\\uFFFD\"", false},
        {"\xE2\x82", "\"\\uFFFD\\uFFFD\"", false},
        {"\xF4\x90\x80\x80", "\"\\uFFFD\\uFFFD\\uFFFD\\uFFFD\"", false},
        {"ok\xE2\x82\xAC\xE2", "\"ok\xE2\x82\xAC\\uFFFD\"", false},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(lister::appendJsonString(out, c.text), c.exact) << c.literal;
        EXPECT_EQ(out, c.literal);
        EXPECT_TRUE(QJsonDocument::fromJson(QByteArray::fromStdString("[" + out + "]")).isArray()) << out;
    }

    std::string fields;
    lister::appendJsonField(fields, "file", "a.zip");
    fields.push_back(',');
    lister::appendJsonField(fields, "file", "\xE9t\xE9.zip");
    EXPECT_EQ(fields, "\"file\":\"a.zip\",\"file\":\"\\uFFFDt\\uFFFD.zip\",\"fileHex\":\"e974e92e7a6970\"");
}

// What a C++ host tells the control beyond the path: the reader, and bytes in memory.
TEST_F(ListerOutputTest, TheSourceChoosesTheReaderAndTheBytesListed)
{
    const std::string bytes = test::readFile(test::testData("zip/comment.zip"));
    const auto memory = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    open(test::testData("zip/comment.zip"));
    const std::string fromFile = report();

    struct Case {
        std::string path;
        ArchiveSource source;
        std::string failure; // the error raised, or empty when it lists as the file does
    };
    const Case cases[] = {
        {"-", {ArchiveFormat::Zip, memory}, ""},
        {"in memory.cab", {ArchiveFormat::Zip, memory}, ""},
        {"", {ArchiveFormat::Zip, memory}, "none"},
        {"-", {std::nullopt, memory}, "This is not a valid archive"},
        {folder.write("c.jar", bytes).string(), {ArchiveFormat::Zip, std::nullopt}, ""},
        {folder.write("c", bytes).string(), {ArchiveFormat::Zip, std::nullopt}, ""},
        {folder.write("c.zip.bak", bytes).string(), {std::nullopt, std::nullopt}, "This is not a valid archive"},
        {(folder.path() / "gone.jar").string(), {ArchiveFormat::Zip, std::nullopt}, "Path/File not found"},
    };
    for (const Case& c : cases) {
        std::string failure;
        try {
            control.openArchive(c.path, c.source);
        } catch (const AutomationError& error) {
            failure = error.description();
        }
        if (c.failure == "none") {
            EXPECT_EQ(control.fileview().count(), 0u) << "a blank path lists nothing";
            continue;
        }
        EXPECT_EQ(failure, c.failure) << c.path;
        if (!c.failure.empty()) continue;
        EXPECT_EQ(report(), fromFile) << c.path;
        EXPECT_EQ(toText(control.Archive(), *control.platform().locale), QString::fromStdString(c.path).toUpper().toStdString());
    }
}

} // namespace
} // namespace quenarch
