#include "quenarch/listing/builtin_pictures.h"
#include "quenarch/listing/invalid_row.h"
#include "quenarch/listing/row_builder.h"
#include "quenarch/base/automation_error.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

class RowBuilderTest : public testing::Test {
protected:
    RowBuilderTest() { LoadImageLists(list, small, large, 32); }

    const ListRow& add(std::string_view base, std::string_view extension, std::uint64_t size = 0)
    {
        builder.AddListItem(base, extension, size, size / 2, makeDate(2001, 12, 31), makeTimeOfDay(14, 22, 5), "ABCD");
        return list.row(list.count());
    }

    test::TestPlatform t;
    ListView list{{}};
    ImageList small{16, 16};
    ImageList large;
    ImageList scratch;
    RowBuilder builder{list, small, large, scratch, t.platform};
};

TEST_F(RowBuilderTest, DisplayNamesAreProperCasedWithTheLowerCasedExtension)
{
    struct Case {
        const char* base;
        const char* extension;
        const char* name;
    };
    for (const Case& c : {Case{"README", "TXT", "Readme.txt"}, Case{"api/readme", "txt", "Api/readme.txt"}, Case{"", "profile", ".profile"},
                          Case{"readme", "", "Readme"}, Case{"notes.", "", "Notes."}, Case{"readme", "   ", "Readme"},
                          Case{"ärger", "TXT", "Ärger.txt"}, Case{"x", "Tar.GZ", "X.tar.gz"},
                          // Long names, with the characters either side of "A" to "Z" and "a" to "z".
                          Case{"CHANGELOG-2024_FINAL", "MD", "Changelog-2024_final.md"}, Case{"@AZ[`az{@AZ[`az{", "", "@az[`az{@az[`az{"},
                          Case{"ÄRGERLICHE NOTIZEN", "TXT", "Ärgerliche notizen.txt"}})
        EXPECT_EQ(add(c.base, c.extension).text, c.name) << c.base << "." << c.extension;
}

TEST_F(RowBuilderTest, FillsEverySubItem)
{
    const ListRow& row = add("readme", "txt", 1234567);
    EXPECT_EQ(row.subItems[SizeColumn - 1], "1,234,567");
    EXPECT_EQ(row.subItems[PackedColumn - 1], "617,283");
    EXPECT_EQ(row.subItems[TypeColumn - 1], "Text Document");
    EXPECT_EQ(row.subItems[ModifiedColumn - 1], "12/31/2001 14:22");
    EXPECT_EQ(row.subItems[DateColumn - 1], "12/31/2001 2:22:05 PM");
    EXPECT_EQ(row.subItems[CrcColumn - 1], "ABCD");
    // Sizes beyond 32 bits are never shown negative.
    EXPECT_EQ(add("big", "iso", 5'000'000'000).subItems[SizeColumn - 1], "5,000,000,000");
    EXPECT_EQ(add("readme", "").subItems[TypeColumn - 1], " file");
    // Extensions alike in their first eight bytes are told apart.
    for (const char* extension : {"longname1", "longname2", "longname", "longnam"})
        EXPECT_EQ(std::string_view(add("a", extension).subItems[TypeColumn - 1]), std::string(extension) + " file");
}

TEST_F(RowBuilderTest, AMemberWithoutDateOrTimeLeavesBothDateColumnsEmpty)
{
    builder.AddListItem("a", "txt", 1, 1, makeDate(2001, 1, 1), std::nullopt, "");
    builder.AddListItem("b", "txt", 1, 1, std::nullopt, makeTimeOfDay(1, 2, 3), "");
    for (std::size_t i : {1u, 2u}) {
        EXPECT_EQ(list.row(i).subItems[ModifiedColumn - 1], "");
        EXPECT_EQ(list.row(i).subItems[DateColumn - 1], "");
    }
}

TEST_F(RowBuilderTest, TakesEachExtensionsIconOnceAndKeepsBothListsInStep)
{
    EXPECT_EQ(add("a", "TXT").icon, "xtxt");
    EXPECT_EQ(add("b", "txt").icon, "xtxt");
    EXPECT_EQ(t.icons->loads, 1);
    EXPECT_EQ(small.picture("xtxt")->width, 16);
    EXPECT_EQ(large.picture("xtxt")->width, 32);
    EXPECT_EQ(scratch.count(), 0u);

    // An extension without an association, or whose icon cannot be had, gets the default
    // picture; the desktop is asked again with the next archive, which may have gained it.
    t.associate("bad", "badfile", "Bad", "nowhere.dll,0");
    EXPECT_EQ(add("a", "xyz").icon, "default");
    EXPECT_EQ(add("a", "bad").icon, "default");
    EXPECT_EQ(add("b", "bad").icon, "default");
    EXPECT_EQ(t.icons->loads, 2);
    t.associate("bad", "badfile", "Bad", "icon:bad,4");
    EXPECT_EQ(add("c", "bad").icon, "default");
    builder.beginArchive();
    EXPECT_EQ(add("d", "bad").icon, "xbad");

    // exe always has the built-in picture.
    t.associate("exe", "exefile", "Application", "icon:exe,9");
    EXPECT_EQ(add("setup", "EXE").icon, "xexe");
    for (std::size_t i = 1; i <= list.count(); ++i) EXPECT_EQ(list.row(i).icon, list.row(i).smallIcon);
}

TEST_F(RowBuilderTest, AnIconIndexThatIsNoNumberStopsTheRowAfterItsTexts)
{
    t.associate("odd", "oddfile", "Odd", "icon:odd,");
    EXPECT_THROW(add("a", "odd"), AutomationError);
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(list.row(1).subItems[CrcColumn - 1], "ABCD");
    EXPECT_EQ(list.row(1).icon, "");
}

TEST_F(RowBuilderTest, TheInvalidArchiveRowNeverOverflows)
{
    for (int i = 0; i < 32768; ++i) list.add();
    AddInvalidArchiveRow(list, "dd-mm-yyyy", Locale());
    const ListRow& row = list.row(list.count());
    EXPECT_EQ(row.text, "No valid archive");
    EXPECT_EQ(row.subItems[SizeColumn - 1], "0Kb");
    EXPECT_EQ(row.subItems[TypeColumn - 1], " ");
    EXPECT_EQ(row.subItems[DateColumn - 1], "31-12-2099");
    EXPECT_EQ(row.subItems[CrcColumn - 1], "");
    EXPECT_EQ(row.icon, "error");
}

TEST(InvalidArchiveRow, UsesTheGeneralDateFormBeforeAnyPictureIsLoaded)
{
    ListView list{{}};
    AddInvalidArchiveRow(list, "", Locale());
    EXPECT_EQ(list.row(1).subItems[DateColumn - 1], "12/31/2099");
}

} // namespace
} // namespace quenarch
