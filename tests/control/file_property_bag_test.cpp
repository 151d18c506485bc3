#include "quenarch/control/file_property_bag.h"
#include "quenarch/control/headless_host.h"
#include "quenarch/control/quen_archive.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

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
    EXPECT_EQ(*other.View().get<std::string>(), "1-Small");
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
        {"quenarch-properties 1\nBeginProperty Font\n   Size = 9\n", "Font", 3},
        {"quenarch-properties 1\nBeginProperty Font\n   Colour = 9\nEndProperty\n", "Font.Colour", 3},
        {"quenarch-properties 1\nBeginProperty Font\n   Size = \"large\"\nEndProperty\n", "Font.Size", 3},
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

} // namespace
} // namespace quenarch
