#include "quenarch/listing/list_view.h"
#include "quenarch/base/automation_error.h"

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
    for (std::size_t i = 1; i <= list.count(); ++i) out += list.row(i).text + (i < list.count() ? " " : "");
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
    EXPECT_EQ(list.row(list.count()).text, "z");
    list.endUpdate();
    EXPECT_EQ(names(list), "z c b");
}

TEST(ListViewSorting, KeepsTheSelectedRowSelected)
{
    const auto owner = listOf({{"b", "", ""}, {"a", "", ""}});
    ListView& list = *owner;
    list.select(1);
    list.setSorted(true);
    EXPECT_EQ(list.selectedIndex(), 2u);
    EXPECT_TRUE(list.row(2).selected);
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
    EXPECT_EQ(list.row(1).text, "1");
    EXPECT_EQ(list.row(1).icon, "xc");
    EXPECT_EQ(list.row(8).smallIcon, "xa");
    EXPECT_EQ(list.row(8).icon, "xb");
    EXPECT_EQ(list.row(9).icon, "xc");

    // A key checked once is checked again once either list has changed.
    small.clear();
    small.add("xa", std::make_shared<Image>(16, 16, 0));
    EXPECT_THROW(list.setIcons(1, "xb"), AutomationError);
    list.setIcons(1, "xa");

    list.clear();
    const std::size_t n = list.add();
    list.setIcons(n, "xa");
    EXPECT_EQ(list.row(n).icon, "xa");
    EXPECT_EQ(list.row(n).smallIcon, "xa");
}

} // namespace
} // namespace quenarch
