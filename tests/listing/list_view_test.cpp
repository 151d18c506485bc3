#include "listing/list_view.h"
#include "platform/automation_error.h"

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

} // namespace
} // namespace quenarch
