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
    RowBuilderTest()
    {
        LoadImageLists(list, small, large, 32);
        list.setLocale(t.platform.locale);
    }

    ListRow add(std::string_view base, std::string_view extension, std::uint64_t size = 0)
    {
        builder.AddListItem({.baseName = base,
                             .extension = extension,
                             .unpackedSize = size,
                             .packedSize = size / 2,
                             .date = makeDate(2001, 12, 31),
                             .time = makeTimeOfDay(14, 22, 5),
                             .crc = 0xABCD});
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
        EXPECT_EQ(add(c.base, c.extension).text(NameColumn), c.name) << c.base << "." << c.extension;
}

// The list writes the texts from the values (see the list's tests); the builder hands it the
// member's moment whole and the type the desktop describes.
TEST_F(RowBuilderTest, FillsEverySubItem)
{
    const ListRow row = add("readme", "txt", 1234567);
    EXPECT_EQ(row.text(TypeColumn), "Text Document");
    EXPECT_EQ(row.text(DateColumn), "12/31/2001 2:22:05 PM");
    EXPECT_EQ(row.text(CrcColumn), "ABCD");
    EXPECT_EQ(add("readme", "").text(TypeColumn), " file");
    // Extensions alike in their first eight bytes are told apart.
    for (const char* extension : {"longname1", "longname2", "longname", "longnam"})
        EXPECT_EQ(add("a", extension).text(TypeColumn), std::string(extension) + " file");
}

TEST_F(RowBuilderTest, DatesAndTimesComeWholeOrNotAtAll)
{
    builder.AddListItem({.baseName = "a", .extension = "txt", .date = makeDate(2001, 1, 1)});
    builder.AddListItem({.baseName = "b", .extension = "txt", .time = makeTimeOfDay(1, 2, 3)});
    for (std::size_t i : {1u, 2u}) {
        EXPECT_EQ(list.row(i).text(ModifiedColumn), "");
        EXPECT_EQ(list.row(i).text(DateColumn), "");
        EXPECT_FALSE(list.row(i).moment(DateColumn));
    }
    // A time that rounds to 24:00 is midnight of the next day.
    builder.AddListItem({.baseName = "c", .extension = "txt", .date = makeDate(2001, 12, 31), .time = 86399.6 / 86400});
    EXPECT_EQ(list.row(3).text(DateColumn), "1/1/2002");
}

TEST_F(RowBuilderTest, RowsKeepTheMembersPathFolderFlagAndValues)
{
    builder.AddListItem({.baseName = "docs/Read", .extension = "Me", .path = "docs/Read.Me", .unpackedSize = 7, .crc = 0xFFFFFFFF});
    builder.AddListItem({.baseName = "docs/", .path = "docs", .isDirectory = true});
    EXPECT_EQ(list.row(1).path(), "docs/Read.Me");
    EXPECT_EQ(list.row(1).unpackedSize(), 7u);
    EXPECT_EQ(list.row(1).text(CrcColumn), "FFFFFFFF");
    EXPECT_TRUE(list.row(2).isDirectory());
    EXPECT_EQ(list.row(2).text(CrcColumn), "0");

    // A host that empties the list while a reader runs leaves the builder to share its
    // extensions anew.
    list.clear();
    EXPECT_EQ(add("again", "Me").text(NameColumn), "Again.me");
}

TEST_F(RowBuilderTest, TakesEachExtensionsIconOnceAndKeepsBothListsInStep)
{
    EXPECT_EQ(add("a", "TXT").icon(), "xtxt");
    EXPECT_EQ(add("b", "txt").icon(), "xtxt");
    EXPECT_EQ(t.icons->loads, 1);
    EXPECT_EQ(small.picture("xtxt")->width, 16);
    EXPECT_EQ(large.picture("xtxt")->width, 32);
    EXPECT_EQ(scratch.count(), 0u);

    // An extension without an association, or whose icon cannot be had, gets the default
    // picture; the desktop is asked again with the next archive, which may have gained it.
    t.associate("bad", "badfile", "Bad", "nowhere.dll,0");
    EXPECT_EQ(add("a", "xyz").icon(), "default");
    EXPECT_EQ(add("a", "bad").icon(), "default");
    EXPECT_EQ(add("b", "bad").icon(), "default");
    EXPECT_EQ(t.icons->loads, 2);
    t.associate("bad", "badfile", "Bad", "icon:bad,4");
    EXPECT_EQ(add("c", "bad").icon(), "default");
    builder.beginArchive();
    EXPECT_EQ(add("d", "bad").icon(), "xbad");

    // exe always has the built-in picture.
    t.associate("exe", "exefile", "Application", "icon:exe,9");
    EXPECT_EQ(add("setup", "EXE").icon(), "xexe");
    for (std::size_t i = 1; i <= list.count(); ++i) EXPECT_EQ(list.row(i).icon(), list.row(i).smallIcon());
}

TEST_F(RowBuilderTest, AnIconIndexThatIsNoNumberStopsTheRowAfterItsTexts)
{
    t.associate("odd", "oddfile", "Odd", "icon:odd,");
    EXPECT_THROW(add("a", "odd"), AutomationError);
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(list.row(1).text(CrcColumn), "ABCD");
    EXPECT_EQ(list.row(1).icon(), "");
}

TEST_F(RowBuilderTest, TheInvalidArchiveRowNeverOverflows)
{
    for (int i = 0; i < 32768; ++i) list.add();
    AddInvalidArchiveRow(list, "dd-mm-yyyy", Locale());
    const ListRow row = list.row(list.count());
    EXPECT_EQ(row.text(NameColumn), "No valid archive");
    EXPECT_EQ(row.text(SizeColumn), "0Kb");
    EXPECT_FALSE(row.unpackedSize());
    EXPECT_EQ(row.text(TypeColumn), " ");
    EXPECT_EQ(row.text(DateColumn), "31-12-2099");
    EXPECT_EQ(row.text(CrcColumn), "");
    EXPECT_EQ(row.icon(), "error");
}

TEST(InvalidArchiveRow, UsesTheGeneralDateFormBeforeAnyPictureIsLoaded)
{
    ListView list{{}};
    AddInvalidArchiveRow(list, "", Locale());
    EXPECT_EQ(list.row(1).text(DateColumn), "12/31/2099");
}

} // namespace
} // namespace quenarch
