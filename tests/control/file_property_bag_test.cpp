#include "quenarch/control/file_property_bag.h"
#include "quenarch/control/headless_host.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/base/automation_error.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>

namespace quenarch {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class PropertyFileTest : public testing::Test {
protected:
    test::TestPlatform t;
    HeadlessHost host;
    QuenArchive control{host, t.platform};
    TempDir temp;
};

TEST_F(PropertyFileTest, RoundTripsEveryPersistedProperty)
{
    auto font = std::make_shared<Font>(Font{"DejaVu \"Serif\"", 10.5, 700, true, true, true, 2});
    control.SetFont(font);
    control.LetBackColor(0x80000005);
    control.LetForeColor(0x00123456);
    control.LetEnabled(false);
    control.LetView(Variant("1-Small"));
    const auto file = temp.path() / "form.qprops";
    writePropertiesToFile(control, file);

    const std::string text = test::readFile(file);
    EXPECT_EQ(text.rfind("quenarch-properties 1\n", 0), 0u);
    EXPECT_EQ(text.find("BackColor"), std::string::npos) << "defaults are left out";
    EXPECT_NE(text.find("View = \"1-Small\""), std::string::npos);
    EXPECT_NE(text.find("Name = \"DejaVu \"\"Serif\"\"\""), std::string::npos);

    HeadlessHost otherHost;
    QuenArchive other(otherHost, t.platform);
    readPropertiesFromFile(other, file);
    EXPECT_EQ(*other.Font(), *font);
    EXPECT_EQ(other.ForeColor(), 0x00123456u);
    EXPECT_EQ(other.BackColor(), 0x80000005u);
    EXPECT_FALSE(other.Enabled());
    EXPECT_FALSE(other.Visible()); // VisibleFlag was never set on the first control
    EXPECT_FALSE(other.fileview().visible());
    EXPECT_EQ(*other.View().get<std::string>(), "1-Small");
    EXPECT_EQ(other.fileview().view(), ViewMode::SmallIcon);
}

TEST_F(PropertyFileTest, DamagedOrForeignFilesNameTheFileAndTheKey)
{
    struct Case {
        const char* content;
        const char* key;
        int line;
    };
    const Case cases[] = {
        {"<html>not ours</html>\n", "", 1},
        {"", "", 0},
        {"quenarch-properties 1\nView = \"unterminated\n", "View", 2},
        {"quenarch-properties 1\nEnabled\n", "Enabled", 2},
        {"quenarch-properties 1\nbeginproperty\t= \"2-List\"\n", "beginproperty", 2}, // would be saved as an opening
        {"quenarch-properties 1\nBeginProperty Font\n   Size = 9\n", "Font", 3},
        {"quenarch-properties 1\nBeginProperty Font\n   Colour = 9\nEndProperty\n", "Font.Colour", 3},
        {"quenarch-properties 1\nBeginProperty Font\n   Size = \"large\"\nEndProperty\n", "Font.Size", 3},
        // Conversions the control makes while taking the values in.
        {"quenarch-properties 1\n' colours\nBackColor = 1e20\n", "BackColor", 3},
        {"quenarch-properties 1\nBackColor = 1e400\n", "BackColor", 2},
        {"quenarch-properties 1\nForeColor = &H100000000&\n", "ForeColor", 2},
        {"quenarch-properties 1\nEnabled = True\n\nVisible = \"maybe\"\n", "Visible", 4},
        {"quenarch-properties 1\nView = 7\n", "View", 2},
        {"quenarch-properties 1\nView = \"2\"\nFont = 3\n", "Font", 3},
        {"quenarch-properties 1\nBeginProperty Font\n   Weight = 70000\nEndProperty\n", "Font.Weight", 3},
        // Sizes no font can take.
        {"quenarch-properties 1\nBeginProperty Font\n   Size = 0\nEndProperty\n", "Font.Size", 3},
        {"quenarch-properties 1\nBeginProperty Font\n   Size = -3\nEndProperty\n", "Font.Size", 3},
        {"quenarch-properties 1\nBeginProperty Font\n   Size = 1e308\nEndProperty\n", "Font.Size", 3},
        {"quenarch-properties 1\nBeginProperty Font\n   Size = 1639\nEndProperty\n", "Font.Size", 3},
        {"quenarch-properties 1\nBeginProperty Font\n   Size = nan\nEndProperty\n", "Font.Size", 3},
    };
    for (const Case& c : cases) {
        const auto file = temp.write("bad.qprops", c.content);
        try {
            readPropertiesFromFile(control, file);
            ADD_FAILURE() << c.content;
        } catch (const PropertyFileError& error) {
            EXPECT_EQ(error.file(), file);
            EXPECT_EQ(error.key(), c.key) << c.content;
            EXPECT_EQ(error.line(), c.line) << c.content;
            EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos);
        }
    }
    EXPECT_THROW(readPropertiesFromFile(control, temp.path() / "missing.qprops"), PropertyFileError);
}

TEST_F(PropertyFileTest, AValueTheControlRejectsLeavesItUntouched)
{
    control.LetView(Variant("2"));
    const auto file = temp.write("bad.qprops", "quenarch-properties 1\nBackColor = 255\nView = 7\n");
    try {
        readPropertiesFromFile(control, file);
        FAIL();
    } catch (const PropertyFileError& error) {
        EXPECT_EQ(error.key(), "View");
    }
    EXPECT_EQ(control.BackColor(), 0x80000005u);
    EXPECT_EQ(*control.View().get<std::string>(), "2");
    EXPECT_EQ(control.ListItems, nullptr);
}

TEST_F(PropertyFileTest, OnlySmallRegularFilesAreRead)
{
    const std::string good = "quenarch-properties 1\nView = \"2\"\n";
    const auto file = temp.write("good.qprops", good);
    fs::create_symlink(file, temp.path() / "link.qprops");
    readPropertiesFromFile(control, temp.path() / "link.qprops");
    EXPECT_EQ(*control.View().get<std::string>(), "2");

    // A pipe without a writer would block a plain open for ever; devices never end.
    ASSERT_EQ(::mkfifo((temp.path() / "pipe.qprops").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", temp.path() / "zero.qprops");
    fs::create_directories(temp.path() / "folder.qprops");
    std::string tooLarge = good + std::string(FilePropertyBag::maximumFileSize, ' ');
    temp.write("large.qprops", tooLarge);
    const char* refused[] = {"pipe.qprops", "zero.qprops", "folder.qprops", "large.qprops", "missing.qprops"};
    for (const char* name : refused) {
        try {
            FilePropertyBag::load(temp.path() / name);
            ADD_FAILURE() << name;
        } catch (const PropertyFileError& error) {
            EXPECT_EQ(error.line(), 0) << name;
        }
    }
    tooLarge.resize(FilePropertyBag::maximumFileSize);
    EXPECT_NO_THROW(FilePropertyBag::load(temp.write("largest.qprops", tooLarge)));
}

TEST_F(PropertyFileTest, ErrorsQuoteAShortEscapedPieceOfTheLine)
{
    const std::string hostile = "\x1B]0;owned\x07" + std::string(100000, 'k') + "\n";
    const std::string cases[] = {
        "quenarch-properties 1\n" + hostile,                       // no "=": the whole line is the key
        "quenarch-properties 1\nView = " + hostile,                // a value that is nothing
        "quenarch-properties 1\nBeginProperty " + hostile,         // a property never ended
        "\xE2\x80\xAEsiht daer\xFF" + hostile,                      // not a property file at all
    };
    for (const std::string& content : cases) {
        const auto file = temp.write("hostile.qprops", content);
        try {
            FilePropertyBag::load(file);
            ADD_FAILURE();
        } catch (const PropertyFileError& error) {
            const std::string message = error.what();
            EXPECT_LT(message.size(), file.string().size() + 300) << message;
            EXPECT_LE(error.key().size(), 200u);
            for (const char c : message) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << message;
            EXPECT_EQ(message.find("\xE2\x80\xAE"), std::string::npos) << message;
            EXPECT_NE(message.find("..."), std::string::npos) << message;
        }
    }
    try {
        FilePropertyBag::load(temp.write("bad.qprops", "quenarch-properties 1\nView = \"a\\b\"\"\tc\n"));
        ADD_FAILURE();
    } catch (const PropertyFileError& error) {
        EXPECT_NE(std::string(error.what()).find(R"("\"a\\b\"\"\tc")"), std::string::npos) << error.what();
    }
}

TEST_F(PropertyFileTest, ExampleFilesLoadWithAByteOrderMarkAndCrLfLineEnds)
{
    readPropertiesFromFile(control, test::testData("control/form.qprops"));
    EXPECT_EQ(*control.View().get<std::string>(), "2-List");
    EXPECT_EQ(control.ForeColor(), 0x00804000u);
    EXPECT_FALSE(control.Enabled());
    EXPECT_EQ(*control.Font(), (Font{"DejaVu Sans", 10.5, 700, true, false, false, 0}));

    readPropertiesFromFile(control, test::testData("control/marked.qprops"));
    EXPECT_EQ(*control.View().get<std::string>(), "1 – small icons");
    EXPECT_EQ(control.BackColor(), 0x80000018u);
}

TEST_F(PropertyFileTest, FontSizesNoFontCanTakeAreInvalidValues)
{
    const auto before = control.Font();
    try {
        readPropertiesFromFile(control, temp.write("font.qprops", "quenarch-properties 1\nBeginProperty Font\n   Size = 0\nEndProperty\n"));
        ADD_FAILURE();
    } catch (const PropertyFileError& error) {
        EXPECT_NE(std::string(error.what()).find("Invalid property value"), std::string::npos) << error.what();
    }
    for (const double size : {0.0, -1.0, 1e308, std::nan("")})
        EXPECT_EQ(test::errorNumber([&] { control.SetFont(std::make_shared<Font>(Font{"Sans", size})); }), 380) << size;
    EXPECT_EQ(control.Font(), before);
    readPropertiesFromFile(control, temp.write("font.qprops", "quenarch-properties 1\nBeginProperty Font\n Size = 1638\nEndProperty\n"));
    EXPECT_EQ(control.Font()->size, 1638);
}

TEST_F(PropertyFileTest, TextsThatWouldNotReadBackAreNotSaved)
{
    // A line break would split the value over two lines, and the file could not be read again.
    control.LetView(Variant("1\n2"));
    const auto file = temp.path() / "form.qprops";
    EXPECT_THROW(writePropertiesToFile(control, file), PropertyFileError);
    EXPECT_FALSE(fs::exists(file));

    // Keys a host writes that would read back as an opening, a comment or another key.
    for (const char* key : {"BeginProperty", "beginPROPERTY", "BeginProperty Font", "A=B", "'note", " padded", "two\nlines"}) {
        FilePropertyBag bag;
        bag.writeProperty(key, Variant(1), Variant());
        EXPECT_THROW(bag.text("keys.qprops"), PropertyFileError) << key;
    }
    FilePropertyBag bag;
    bag.writeProperty("BeginPropertyFont", Variant(1), Variant());
    EXPECT_EQ(FilePropertyBag::parse(bag.text("keys.qprops"), "keys.qprops").readProperty("BeginPropertyFont", Variant()), Variant(1));
}

} // namespace
} // namespace quenarch
