#include "quenarch/listing/list_view.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/base/utf8.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

std::vector<ColumnHeader> columns()
{
    return {{"Name", 0, ColumnAlignment::Left, SortKind::Text},
            {"Size", 0, ColumnAlignment::Right, SortKind::Number},
            {"Date", 0, ColumnAlignment::Left, SortKind::Moment}};
}

// A list keeps its rows' texts in itself, so it is made in place and filled.
std::unique_ptr<ListView> listOf(std::initializer_list<std::array<const char*, 3>> rows)
{
    auto list = std::make_unique<ListView>(columns());
    for (const auto& cells : rows) {
        const std::size_t n = list->add();
        list->setText(n, cells[0]);
        list->setSubItem(n, 1, cells[1]);
        list->setSubItem(n, 2, cells[2]);
    }
    return list;
}

std::string names(const ListView& list)
{
    std::string out;
    for (std::size_t i = 1; i <= list.count(); ++i) out += list.row(i).text(NameColumn) + (i < list.count() ? " " : "");
    return out;
}

TEST(ListViewSorting, ComparesEachColumnByItsKind)
{
    const auto owner = listOf({{"b", "900", "12/31/2001 2:00:00 PM"}, {"C", "1,000", "1/2/2001"}, {"a", "0Kb", "12/31/2001 9:00:00 AM"}, {"B", "9", ""}});
    ListView& list = *owner;
    list.setSorted(true);
    EXPECT_EQ(names(list), "a b B C"); // case-blind and stable
    list.setSortKey(1);
    EXPECT_EQ(names(list), "B b C a"); // by value, text that is no number last
    list.setSortKey(2);
    EXPECT_EQ(names(list), "C a b B"); // by moment
    list.setSortOrder(1);
    EXPECT_EQ(names(list), "B b a C");
    list.setSortKey(9); // beyond the sub-items: by the row's text
    EXPECT_EQ(names(list), "C B b a");
}

TEST(ListViewSorting, RowsAddedInAnUpdateStayAtTheEndUntilItEnds)
{
    const auto owner = listOf({{"b", "", ""}, {"c", "", ""}});
    ListView& list = *owner;
    list.setSorted(true);
    list.setSortOrder(1);
    list.beginUpdate();
    const std::size_t n = list.add();
    list.setText(n, "z");
    EXPECT_EQ(list.row(list.count()).text(NameColumn), "z");
    list.endUpdate();
    EXPECT_EQ(names(list), "z c b");

    // Settings changed within an update take effect when it ends, rows added or not.
    list.beginUpdate();
    list.setSortOrder(0);
    EXPECT_EQ(names(list), "z c b");
    list.endUpdate();
    EXPECT_EQ(names(list), "b c z");
}

TEST(ListViewSorting, KeepsTheSelectedRowSelected)
{
    const auto owner = listOf({{"b", "", ""}, {"a", "", ""}});
    ListView& list = *owner;
    list.select(1);
    list.setSorted(true);
    EXPECT_EQ(list.selectedIndex(), 2u);
    EXPECT_TRUE(list.row(2).selected());
}

TEST(ListView, RejectsViewModesOtherThanZeroToThreeAndKeysNotInTheBoundList)
{
    ListView list(columns());
    EXPECT_THROW(list.setView(4), AutomationError);
    EXPECT_EQ(list.view(), ViewMode::Icon);
    ImageList icons;
    list.setIcons(&icons);
    list.add();
    EXPECT_THROW(list.setIcon(1, "missing"), AutomationError);
    EXPECT_THROW(list.row(2), AutomationError);
    EXPECT_THROW(list.setSubItem(1, 7, "x"), AutomationError);
}

TEST(ListView, RowsKeepTheirIconKeysAsKeysComeAndGoAndTheBoundListsChange)
{
    ListView list(columns());
    ImageList small(16, 16);
    ImageList large(32, 32);
    for (const char* key : {"xa", "xb", "xc"}) {
        small.add(key, std::make_shared<Image>(16, 16, 0));
        large.add(key, std::make_shared<Image>(32, 32, 0));
    }
    list.setSmallIcons(&small);
    list.setIcons(&large);
    const std::array<std::string, 3> keys{"xa", "xb", "xc"};
    for (int i = 0; i < 9; ++i) {
        const std::size_t n = list.add();
        list.setText(n, std::to_string(9 - i));
        std::string key = keys[static_cast<std::size_t>(i) % keys.size()]; // gone after the call
        list.setIcons(n, key);
    }
    list.setIcon(1, std::string("xc"));
    list.setSmallIcon(2, std::string("xa"));
    list.setSorted(true); // moves every row
    EXPECT_EQ(list.row(1).text(NameColumn), "1");
    EXPECT_EQ(list.row(1).icon(), "xc");
    EXPECT_EQ(list.row(8).smallIcon(), "xa");
    EXPECT_EQ(list.row(8).icon(), "xb");
    EXPECT_EQ(list.row(9).icon(), "xc");

    // A key checked once is checked again once either list has changed.
    small.clear();
    small.add("xa", std::make_shared<Image>(16, 16, 0));
    EXPECT_THROW(list.setIcons(1, "xb"), AutomationError);
    list.setIcons(1, "xa");

    list.clear();
    const std::size_t n = list.add();
    list.setIcons(n, "xa");
    EXPECT_EQ(list.row(n).icon(), "xa");
    EXPECT_EQ(list.row(n).smallIcon(), "xa");
}

// Member rows of a list with the listing's seven columns, in US English.
class MemberRows : public testing::Test {
protected:
    std::size_t addMember(std::string_view base, ExtensionId extension, std::uint64_t size, std::optional<RowMoment> moment,
                          std::string_view path = {}, bool folder = false)
    {
        return list.addMember({.baseName = base,
                               .extension = extension,
                               .path = path,
                               .isDirectory = folder,
                               .unpackedSize = size,
                               .packedSize = size / 3,
                               .moment = moment,
                               .crc = 0x0012ABCD});
    }
    std::string cells(std::size_t index) const
    {
        std::string out;
        for (std::size_t column = 0; column < listingColumnCount; ++column) out += list.row(index).text(column) + "|";
        return out;
    }

    ListView list{{{"Name"}, {"Size", 0, ColumnAlignment::Right, SortKind::Number}, {"Packed", 0, ColumnAlignment::Right, SortKind::Number},
                   {"Type"}, {"Modified", 0, ColumnAlignment::Left, SortKind::Moment}, {"Date", 0, ColumnAlignment::Left, SortKind::Moment},
                   {"CRC"}}};
    ExtensionId text = list.shareExtension("TXT", "txt", "Text Document");
    ExtensionId none = list.shareExtension("", "", " file");
    // 31 December 2001 at 14:22:05, and at midnight.
    RowMoment afternoon{static_cast<std::int32_t>(makeDate(2001, 12, 31)), 14 * 3600 + 22 * 60 + 5};
    RowMoment midnight{static_cast<std::int32_t>(makeDate(2001, 12, 31)), 0};
};

TEST_F(MemberRows, WriteTheirTextsFromTheirValues)
{
    addMember("api/README", text, 1234567, afternoon);
    addMember("notes", none, 0, midnight);
    addMember("empty", none, 5'000'000'000, std::nullopt);
    EXPECT_EQ(cells(1), "Api/readme.txt|1,234,567|411,522|Text Document|12/31/2001 14:22|12/31/2001 2:22:05 PM|12ABCD|");
    EXPECT_EQ(cells(2), "Notes|0|0| file|12/31/2001 00:00|12/31/2001|12ABCD|");
    EXPECT_EQ(cells(3), "Empty|5,000,000,000|1,666,666,666| file|||12ABCD|");

    const ListRow row = list.row(1);
    EXPECT_EQ(row.unpackedSize(), 1234567u);
    EXPECT_EQ(row.packedSize(), 411522u);
    EXPECT_EQ(row.crc(), 0x12ABCDu);
    EXPECT_EQ(splitDate(*row.moment(DateColumn)), (DateParts{2001, 12, 31, 14, 22, 5}));
    EXPECT_EQ(splitDate(*row.moment(ModifiedColumn)), (DateParts{2001, 12, 31, 14, 22, 0})); // as shown, to the minute
    EXPECT_FALSE(list.row(3).moment(DateColumn));
}

TEST_F(MemberRows, CellsAHostRewritesHoldItsTextAndTheValueReadFromIt)
{
    addMember("a", text, 10, afternoon);
    addMember("b", text, 20, afternoon);
    list.setSubItem(1, SizeColumn, "1,500");
    list.setSubItem(1, DateColumn, "1/2/2003 4:05:06 AM");
    list.setSubItem(2, CrcColumn, "");
    list.setText(2, "Renamed");

    const ListRow first = list.row(1);
    EXPECT_EQ(first.text(SizeColumn), "1,500");
    EXPECT_FALSE(first.unpackedSize());
    EXPECT_EQ(first.number(SizeColumn), 1500.0);
    EXPECT_EQ(first.packedSize(), 3u); // the other cells keep their values
    EXPECT_EQ(splitDate(*first.moment(DateColumn)), (DateParts{2003, 1, 2, 4, 5, 6}));
    EXPECT_EQ(first.text(ModifiedColumn), "12/31/2001 14:22");
    EXPECT_EQ(cells(2), "Renamed|20|6|Text Document|12/31/2001 14:22|12/31/2001 2:22:05 PM||");
    EXPECT_FALSE(list.row(2).crc());

    list.setSortSettings(SizeColumn, 1, true);
    EXPECT_EQ(list.row(1).text(NameColumn), "A.txt");
    list.setSortKey(DateColumn);
    EXPECT_EQ(list.row(1).text(NameColumn), "A.txt");
    list.setSortKey(NameColumn);
    EXPECT_EQ(list.row(1).text(NameColumn), "Renamed");
}

TEST_F(MemberRows, CountTheCharactersOfTheirCellsAsWritten)
{
    const ExtensionId accented = list.shareExtension("TËXT", "tëxt", "Tèxte accentué");
    addMember("dir/READ_ME", text, 1, afternoon);
    addMember("plain", none, 1, afternoon);
    addMember("ÉCOLE", text, 1, afternoon);  // proper casing of other letters
    addMember("ßtraße", none, 1, afternoon); // a letter whose capital may be longer
    addMember("notes", accented, 1, afternoon);
    addMember("renamed", text, 1, afternoon);
    list.setText(list.count(), "Über");
    list.setSubItem(list.count(), TypeColumn, "Téxte");
    list.add(); // a host's row with no name at all
    std::string scratch;
    for (std::size_t i = 1; i <= list.count(); ++i) {
        for (std::size_t column = 0; column < listingColumnCount; ++column) {
            const std::string written = list.row(i).text(column);
            EXPECT_EQ(list.row(i).characters(column, scratch), utf8CharacterCount(written)) << written;
            std::string appended = "before";
            EXPECT_EQ(list.row(i).appendCountedText(appended, column), utf8CharacterCount(written)) << written;
            EXPECT_EQ(appended, "before" + written);
        }
    }
    EXPECT_EQ(list.row(1).characters(NameColumn, scratch), 15u); // "Dir/read_me.txt"
}

TEST_F(MemberRows, KeepTheirPathAndFolderFlag)
{
    const ExtensionId blank = list.shareExtension("  ", "", " file");
    addMember("docs/Read Me", text, 1, std::nullopt, "docs/Read Me.TXT");
    addMember("docs/", none, 0, std::nullopt, "docs", true);
    addMember("x", blank, 0, std::nullopt, "x.  ");
    addMember("unnamed", text, 0, std::nullopt);
    list.add();
    addMember("Read Me", text, 1, std::nullopt, "top/docs/Read Me.TXT"); // the name without its first folder
    addMember("Me", text, 1, std::nullopt, "top/Read Me.TXT.bak");      // a path that does not end with the name
    addMember("Me", text, 1, std::nullopt, "top/Read Me.TXT");
    addMember("Me", text, 1, std::nullopt, "top/Read Me,TXT");
    addMember("Me", none, 1, std::nullopt, "Read Me");
    EXPECT_EQ(list.row(6).path(), "top/docs/Read Me.TXT");
    EXPECT_EQ(list.row(7).path(), "top/Read Me.TXT.bak");
    EXPECT_EQ(list.row(8).path(), "top/Read Me.TXT");
    EXPECT_EQ(list.row(9).path(), "top/Read Me,TXT");
    EXPECT_EQ(list.row(10).path(), "Read Me");
    EXPECT_EQ(list.row(1).path(), "docs/Read Me.TXT");
    EXPECT_FALSE(list.row(1).isDirectory());
    EXPECT_EQ(list.row(2).path(), "docs");
    EXPECT_TRUE(list.row(2).isDirectory());
    EXPECT_EQ(list.row(3).path(), "x.  ");
    EXPECT_EQ(list.row(3).text(NameColumn), "X");
    EXPECT_EQ(list.row(4).path(), "");
    EXPECT_EQ(list.row(5).path(), "");
    list.setSortSettings(NameColumn, 0, true); // the host's empty row, "Docs/", "Docs/read me.txt", ...
    EXPECT_EQ(list.row(2).path(), "docs");
    EXPECT_EQ(list.row(3).path(), "docs/Read Me.TXT");
    EXPECT_EQ(list.row(4).path(), "Read Me"); // "Me", "Me.txt" three times, "Read me.txt", ...
}

TEST_F(MemberRows, MomentsNoDateTextCanHoldShowButReadAsNone)
{
    addMember("far", text, 0, RowMoment{static_cast<std::int32_t>(makeDate(12000, 1, 1)), 60});
    EXPECT_FALSE(list.row(1).text(DateColumn).empty());
    EXPECT_FALSE(list.row(1).moment(DateColumn));
    EXPECT_FALSE(list.locale().parseDate(list.row(1).text(DateColumn)));
}

TEST_F(MemberRows, ExtensionsAreForgottenWhenTheListIsEmptied)
{
    const std::uint64_t generation = list.generation();
    list.clear();
    EXPECT_NE(list.generation(), generation);
    EXPECT_THROW(addMember("a", text, 1, std::nullopt), AutomationError);
    EXPECT_EQ(list.count(), 0u);
}

// Notes the notices of both kinds in one line each.
class NoticeLog final : public ListRowObserver, public ListPresentationObserver {
public:
    void rowsAboutToBeReset() override { note("about to reset " + std::to_string(list->count())); }
    void rowsReset() override { note("reset " + std::to_string(list->count())); }
    void rowsAboutToBeAppended(std::size_t first, std::size_t count) override
    {
        note("about to append " + std::to_string(first) + "+" + std::to_string(count) + " to " + std::to_string(list->count()));
    }
    void rowsAppended() override { note("appended " + std::to_string(list->count())); }
    void rowsAboutToBeReordered() override { note("about to reorder " + names(*list)); }
    void rowsReordered(std::span<const std::size_t> previous) override
    {
        std::string moves;
        for (const std::size_t position : previous) moves += std::to_string(position);
        note("reordered " + names(*list) + " from " + moves);
    }
    void rowChanged(std::size_t index) override { note("changed " + std::to_string(index)); }
    void iconsChanged() override { note("icons"); }
    void selectionChanged(std::size_t index) override { note("selected " + std::to_string(index)); }
    void scrollRequested(std::size_t index) override { note("scroll " + std::to_string(index)); }
    void viewModeChanged() override { note("view"); }
    void sortChanged() override { note("sort"); }

    void note(std::string line) { lines.push_back(std::move(line)); }
    std::vector<std::string> take() { return std::exchange(lines, {}); }

    const ListView* list = nullptr;
    std::vector<std::string> lines;
};

TEST(ListViewNotices, EveryRowChangeIsAnnouncedBeforeItIsMadeAndAfter)
{
    const auto owner = listOf({{"b", "", ""}});
    ListView& list = *owner;
    NoticeLog log;
    log.list = &list;
    list.setRowObserver(&log);
    list.setPresentationObserver(&log);
    using Lines = std::vector<std::string>;

    list.setText(list.add(), "a");
    EXPECT_EQ(log.take(), (Lines{"about to append 2+1 to 1", "appended 2", "changed 2"}));

    list.select(1);
    list.setSortSettings(0, 0, true);
    EXPECT_EQ(log.take(), (Lines{"selected 1", "about to reorder b a", "reordered a b from 10", "sort"}));

    // An update's additions and emptyings come as one reset, sorted before it ends; the
    // selection is told again afterwards, as views forget theirs in a reset.
    list.beginUpdate();
    list.setText(1, "c"); // told at once: the rows have not begun to change
    list.add();
    list.setText(3, "0");
    list.select(3);
    list.endUpdate();
    EXPECT_EQ(log.take(), (Lines{"changed 1", "about to reset 2", "reset 3", "selected 1"}));
    EXPECT_EQ(names(list), "0 b c");

    list.beginUpdate();
    list.clear();
    list.add();
    list.endUpdate();
    list.clear();
    EXPECT_EQ(log.take(), (Lines{"about to reset 3", "reset 1", "about to reset 1", "reset 0"}));

    list.setView(3);
    list.ensureVisible(list.add());
    EXPECT_EQ(log.take(), (Lines{"view", "icons", "about to append 1+1 to 0", "appended 1", "scroll 1"}));
    list.setRowObserver(nullptr);
    list.setPresentationObserver(nullptr);
}

} // namespace
} // namespace quenarch
