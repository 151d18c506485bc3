#include "quenarch/freedesktop/ini_file.h"

#include <gtest/gtest.h>

namespace quenarch::freedesktop {
namespace {

TEST(IniFileTest, ReadsValuesAsQSettingsDoes)
{
    const IniFile ini("; a comment\n"
                                       "# another\n"
                                       "[Icon Theme]\n"
                                       "Name = Child \r\n"
                                       "Directories=16x16/apps, scalable/apps,,32x32/apps\n"
                                       "Inherits=\"parent\"\n"
                                       "[16x16/apps]\n"
                                       "Size=16\n"
                                       "Size=24\n"
                                       "Scale=x2\n"
                                       "Threshold=+3\n"
                                       "no equals sign\n"
                                       "[settings]\n"
                                       "gtk-icon-theme-name=lower\n"
                                       "[Icon Theme]\n"
                                       "Hidden=false\n");
    EXPECT_EQ(ini.value("Icon Theme", "Name"), "Child");
    EXPECT_EQ(ini.value("Icon Theme", "Inherits"), "parent");
    EXPECT_EQ(ini.section("Icon Theme").list("Directories"), (std::vector<std::string_view>{"16x16/apps", "scalable/apps", "", "32x32/apps"}));
    EXPECT_EQ(ini.value("Icon Theme", "Hidden"), "false"); // a section named again goes on
    const IniFile::Section directory = ini.section("16x16/apps");
    EXPECT_EQ(directory.number("Size"), 24); // the later value replaces the earlier
    EXPECT_EQ(directory.number("Threshold"), 3);
    EXPECT_EQ(directory.number("Scale"), std::nullopt);
    EXPECT_EQ(ini.value("Settings", "gtk-icon-theme-name"), std::nullopt); // names keep their letter case
    EXPECT_EQ(ini.value("Icon Theme", "name"), std::nullopt);
    EXPECT_TRUE(ini.section("Icon Theme").list("Missing").empty());
    EXPECT_EQ(ini.section("Missing").value("Size"), std::nullopt);
    EXPECT_EQ(IniFile::read("/no/such/file.ini").value("a", "b"), std::nullopt);
}

// The first sections asked for are searched in the text, the later ones in an index: both ways
// give the same answers.
TEST(IniFileTest, ManySectionsAnswerAsFew)
{
    std::string text = "top=level\n";
    for (int i = 0; i < 40; ++i) text += "[s" + std::to_string(i % 20) + "]\nkey=" + std::to_string(i) + "\n";
    const IniFile ini(text);
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 20; ++i) EXPECT_EQ(ini.section("s" + std::to_string(i)).number("key"), i + 20) << round;
        EXPECT_EQ(ini.value("", "top"), "level");
        EXPECT_EQ(ini.value("s40", "key"), std::nullopt);
    }
}

} // namespace
} // namespace quenarch::freedesktop
