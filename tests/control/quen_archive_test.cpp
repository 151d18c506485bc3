#include "quenarch/control/headless_host.h"
#include "quenarch/control/module_state.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/listing/row_builder.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/base/text_case.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace quenarch {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::testData;

class ControlTest : public testing::Test {
protected:
    ControlTest() { moduleState() = ModuleState{}; }

    // The error a host sees when Archive is assigned, or 0.
    std::int32_t assign(const std::string& path)
    {
        return test::errorNumber([&] { control.LetArchive(Variant(path)); });
    }

    test::TestPlatform t;
    HeadlessHost host;
    QuenArchive control{host, t.platform};
    MemoryPropertyBag noProperties;
    TempDir temp;
};

TEST_F(ControlTest, ListsAZipArchiveAndReadsThePathBackUpperCased)
{
    control.ReadProperties(noProperties);
    const fs::path copy = temp.path() / "Mixed.Zip";
    fs::copy_file(testData("control/three-members.zip"), copy);
    ASSERT_EQ(assign(copy.string()), 0);
    EXPECT_EQ(test::rowNames(control.fileview()), "Readme.txt;Main.c;Guide.doc;");
    EXPECT_EQ(*control.Archive().get<std::string>(), toUpper(copy.string()));
    EXPECT_EQ(control.filename(), "Mixed.Zip");
    EXPECT_EQ(control.ArchiveType(), "Compressed (zipped) Folder");
    EXPECT_EQ(control.FileComment(), "");
    EXPECT_EQ(host.changedProperties.back(), "Archive");
}

TEST_F(ControlTest, ProperCasingLowersEveryLetterThatHasALowerCase)
{
    ASSERT_EQ(assign(testData("rar/test_read_format_rar5_unicode.rar").string()), 0);
    EXPECT_EQ(test::rowNames(control.fileview()), "👋🌎.txt;Ⓗⓐⓡⓓ ⓛⓘⓝⓚ.txt;𝒮𝓎𝓂𝒷𝑜𝓁𝒾𝒸 𝐿𝒾𝓃𝓀.txt;");
}

TEST_F(ControlTest, OpensTheNamedFileThroughACaseBlindMatchOfItsPath)
{
    fs::create_directories(temp.path() / "Data");
    fs::copy_file(testData("control/three-members.zip"), temp.path() / "Data" / "a.zip");
    EXPECT_EQ(assign((temp.path() / "DATA" / "A.ZIP").string()), 0);
    EXPECT_EQ(control.fileview().count(), 3u);
    // Windows-style separators name the same file.
    std::string backslashed = (temp.path() / "data" / "a.zip").string();
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    EXPECT_EQ(assign(backslashed), 0);
    EXPECT_EQ(control.fileview().count(), 3u);
}

TEST_F(ControlTest, OpensFilesWhoseNamesUpperCasingCannotBringBack)
{
    for (const char* name : {"back\\slash.zip", "ıi.zip", "ſ.zip", "Σς.zip"}) {
        const fs::path file = temp.path() / name;
        fs::copy_file(testData("control/three-members.zip"), file);
        EXPECT_EQ(assign(file.string()), 0) << name;
        EXPECT_EQ(control.fileview().count(), 3u) << name;
        EXPECT_EQ(*control.Archive().get<std::string>(), toUpper(file.string())) << name;
    }
}

TEST_F(ControlTest, PathChecksRaiseTheHostsErrors)
{
    const std::string missing = (temp.path() / "none.zip").string();
    const std::string notAnArchive = testData("control/readme.txt").string();
    temp.write("ab", "x");
    struct Case {
        std::string path;
        std::int32_t error;
        std::string readBack; // upper case once the existence test has run
    };
    const Case cases[] = {
        {"", 0, ""},
        {"   ", 0, "   "},
        {"ab", 321, "ab"},
        {missing, 75, toUpper(missing)},
        {notAnArchive, 321, toUpper(notAnArchive)},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(assign(testData("control/three-members.zip").string()), 0);
        moduleState().ArchiveComment = "previous comment";
        EXPECT_EQ(assign(c.path), c.error) << c.path;
        EXPECT_EQ(control.fileview().count(), 0u) << c.path;
        EXPECT_EQ(control.FileComment(), "previous comment") << c.path;
        EXPECT_EQ(control.ArchiveType(), "Compressed (zipped) Folder") << c.path;
        EXPECT_EQ(*control.Archive().get<std::string>(), c.readBack);
    }
    // An unknown extension still rebuilds the icon lists before its error.
    EXPECT_EQ(control.ImageList2().count(), 4u);
}

TEST_F(ControlTest, TheLastThreeCharactersChooseTheReaderWithoutADot)
{
    fs::copy_file(testData("control/three-members.zip"), temp.path() / "BACKUPZIP");
    EXPECT_EQ(assign((temp.path() / "backupzip").string()), 0);
    EXPECT_EQ(control.fileview().count(), 3u);
}

// Every reader opens only regular files; anything else raises the host's error, while an empty
// ZIP file lists nothing.
TEST_F(ControlTest, PathsThatAreNoReadableFileRaiseTheOpenErrorForEveryFormat)
{
    const fs::path fifo = temp.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(temp.path() / "folder");
    const fs::path unreadable = temp.write("unreadable", "PK");
    fs::permissions(unreadable, fs::perms::none);
    const bool permissionsHold = ::geteuid() != 0; // root reads whatever the permissions say
    const struct {
        std::string target;
        std::int32_t error;
    } kinds[] = {
        {"folder", 75}, {"fifo", 75}, {"/dev/null", 75}, {"/dev/zero", 75}, {"gone", 75},
    };
    for (const char* extension : {"zip", "arj", "lzh", "arc", "rar", "cab"}) {
        for (const auto& kind : kinds) {
            const fs::path link = temp.path() / (kind.target.substr(kind.target.rfind('/') + 1) + "-link." + extension);
            fs::create_symlink(kind.target.starts_with('/') ? fs::path(kind.target) : temp.path() / kind.target, link);
            SCOPED_TRACE(link.string());
            EXPECT_EQ(assign(link.string()), kind.error);
            EXPECT_EQ(control.fileview().count(), 0u);
        }
        if (permissionsHold) {
            const fs::path copy = temp.path() / (std::string("unreadable.") + extension);
            fs::copy_file(unreadable, copy);
            fs::permissions(copy, fs::perms::none);
            EXPECT_EQ(assign(copy.string()), 70) << extension;
        }
    }
    // The folder named like an archive, not through a link.
    fs::create_directories(temp.path() / "folder.zip");
    EXPECT_EQ(assign((temp.path() / "folder.zip").string()), 75);
    EXPECT_EQ(control.ArchiveType(), "Compressed (zipped) Folder");

    EXPECT_EQ(assign(temp.write("empty.zip", "").string()), 0);
    EXPECT_EQ(control.fileview().count(), 0u);
}

TEST_F(ControlTest, ANonArchiveShowsTheInvalidRow)
{
    control.ReadProperties(noProperties);
    EXPECT_EQ(assign(temp.write("notes.zip", std::string(100, 'x')).string()), 0);
    ASSERT_EQ(control.fileview().count(), 1u);
    EXPECT_EQ(control.ItemFileName(), "No valid archive");
    EXPECT_EQ(control.ItemUnCompressed(), "0Kb");
    EXPECT_EQ(control.ArchiveType(), "No valid archive");
    EXPECT_EQ(splitDate(control.ItemDate()), (DateParts{2099, 12, 31}));
}

TEST_F(ControlTest, AValueWithoutATextFormStoresNothing)
{
    ASSERT_EQ(assign("x.zip"), 75);
    EXPECT_THROW(control.LetArchive(Variant::null()), AutomationError);
    EXPECT_EQ(*control.Archive().get<std::string>(), "X.ZIP");
}

TEST_F(ControlTest, ViewTakesTheFirstCharacterOfItsText)
{
    struct Case {
        Variant value;
        std::string readBack;
        ViewMode mode;
    };
    const Case cases[] = {
        {Variant(""), "3", ViewMode::Report},     {Variant("   "), "3", ViewMode::Report},
        {Variant(std::int32_t{1}), "1", ViewMode::SmallIcon}, {Variant("2-List"), "2-List", ViewMode::List},
        {Variant(" 3"), " 3", ViewMode::Icon},
    };
    for (const Case& c : cases) {
        host.changedProperties.clear();
        control.LetView(c.value);
        EXPECT_EQ(*control.View().get<std::string>(), c.readBack);
        EXPECT_EQ(control.fileview().view(), c.mode);
        EXPECT_EQ(host.changedProperties, std::vector<std::string>{"View"});
    }
    host.changedProperties.clear();
    EXPECT_THROW(control.LetView(Variant(std::int32_t{7})), AutomationError);
    EXPECT_EQ(*control.View().get<std::string>(), "7");
    EXPECT_EQ(control.fileview().view(), ViewMode::Icon);
    EXPECT_TRUE(host.changedProperties.empty());
}

TEST_F(ControlTest, StartsInReportViewAndLoadsDefaultsFromAnEmptyBag)
{
    EXPECT_EQ(*control.View().get<std::string>(), "3");
    EXPECT_EQ(control.fileview().view(), ViewMode::Report);
    EXPECT_FALSE(control.Visible());
    EXPECT_TRUE(control.Enabled());
    EXPECT_EQ(control.ListItems, nullptr);

    t.ini->files["win.ini"] = "[intl]\nsShortDate=dd-MM-yyyy\n";
    control.ReadProperties(noProperties);
    EXPECT_EQ(control.BackColor(), 0x80000005u);
    EXPECT_EQ(control.ForeColor(), 0x80000012u);
    EXPECT_TRUE(control.Visible());
    EXPECT_EQ(control.ListItems, &control.fileview());
    EXPECT_EQ(moduleState().ShortDateFormat, "dd-mm-yyyy");
    EXPECT_EQ(moduleState().ScreenColorDepth, 32);
    EXPECT_EQ(host.changedProperties, std::vector<std::string>{"Font"});

    // Saving right away writes only what differs from the defaults: the font object.
    MemoryPropertyBag saved;
    control.WriteProperties(saved);
    ASSERT_EQ(saved.values().size(), 1u);
    EXPECT_EQ(*saved.values().at("Font").get<FontRef>(), control.Font());
}

TEST_F(ControlTest, FontByValueCopiesWhileByReferenceShares)
{
    auto font = std::make_shared<quenarch::Font>();
    control.LetFont(font);
    EXPECT_NE(control.Font(), font);
    EXPECT_EQ(*control.Font(), *font);
    control.SetFont(font);
    EXPECT_EQ(control.Font(), font);
    EXPECT_EQ(host.changedProperties, (std::vector<std::string>{"Font", "Font"}));
}

} // namespace
} // namespace quenarch
