#include "control/quen_archive.h"
#include "qt/list_model.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

Picture filled(int size, std::uint32_t argb) { return std::make_shared<Image>(size, size, 0, argb); }

QRgb iconPixel(const QVariant& decoration, int size)
{
    const QIcon icon = decoration.value<QIcon>();
    if (icon.isNull()) return 0;
    return icon.pixmap(size).toImage().pixel(size / 2, size / 2);
}

class ListModelTest : public testing::Test {
protected:
    ListModelTest()
    {
        smallIcons.add("xtxt", filled(16, 0xFF0000AA));
        largeIcons.add("xtxt", filled(32, 0xFF00AA00));
        list.setSmallIcons(&smallIcons);
        list.setIcons(&largeIcons);
        list.setView(3);
    }

    // Appends a row named name with the size text, outside any update.
    std::size_t addRow(const std::string& name, const std::string& size = "1")
    {
        const std::size_t row = list.add();
        list.setText(row, name);
        list.setSubItem(row, 1, size);
        list.setIcon(row, "xtxt");
        list.setSmallIcon(row, "xtxt");
        return row;
    }

    QString text(int row, int column = 0) const { return model.data(model.index(row, column)).toString(); }

    ListView list{listingColumns()};
    ImageList smallIcons{16, 16};
    ImageList largeIcons;
    ListModel model{list};
};

TEST_F(ListModelTest, RowsAppearWhenTheListAnnouncesThem)
{
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    addRow("a.txt");
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 0);
    EXPECT_EQ(text(0), "a.txt");

    // Rows filled during an update stay out of sight until it ends, then come in one notice.
    list.beginUpdate();
    addRow("b.txt");
    addRow("c.txt");
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(inserted.size(), 1);
    list.endUpdate();
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted[1][1].toInt(), 1);
    EXPECT_EQ(inserted[1][2].toInt(), 2);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(text(2), "c.txt");
}

TEST_F(ListModelTest, ClearingResetsAndRefillingWithinOneUpdateResetsOnce)
{
    addRow("a.txt");
    addRow("b.txt");
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    list.clear();
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(model.rowCount(), 0);

    addRow("c.txt");
    list.beginUpdate();
    list.clear();
    addRow("d.txt");
    addRow("e.txt");
    EXPECT_EQ(model.rowCount(), 1);
    list.endUpdate();
    EXPECT_EQ(reset.size(), 2);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(text(1), "e.txt");
    EXPECT_EQ(inserted.size(), 1); // only c.txt came as an insertion
}

TEST_F(ListModelTest, CellsHeadersAndAlignmentFollowTheColumns)
{
    const std::size_t row = addRow("a.txt", "1,024");
    list.setSubItem(row, 2, "512");
    list.setSubItem(row, 3, "Text Document");
    list.setSubItem(row, 6, "0x1234");

    ASSERT_EQ(model.columnCount(), 7);
    const char* captions[] = {"Name", "Size", "Packed", "Type", "Modified", "Date", "CRC"};
    const char* cells[] = {"a.txt", "1,024", "512", "Text Document", "", "", "0x1234"};
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), captions[column]);
        EXPECT_EQ(text(0, column), cells[column]) << column;
        const bool right = column == 1 || column == 2;
        const QVariant alignment = model.data(model.index(0, column), Qt::TextAlignmentRole);
        const QVariant headerAlignment = model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole);
        EXPECT_EQ(alignment.isValid() && (alignment.value<Qt::Alignment>() & Qt::AlignRight), right) << column;
        EXPECT_EQ(headerAlignment.isValid() && (headerAlignment.value<Qt::Alignment>() & Qt::AlignRight), right) << column;
    }
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(ListModelTest, SortingReordersTheRowsInPlace)
{
    addRow("small.txt", "9");
    addRow("large.txt", "1,000");
    addRow("middle.txt", "50");
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    QSignalSpy sorted(&model, &ListModel::rowsSorted);

    list.setSortSettings(1, 0, true);
    EXPECT_EQ(layout.size(), 1);
    EXPECT_EQ(sorted.size(), 1);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(text(0) + " " + text(1) + " " + text(2), "small.txt middle.txt large.txt");
}

TEST_F(ListModelTest, IconsComeFromTheImageListOfTheViewMode)
{
    addRow("a.txt");
    const QModelIndex first = model.index(0, 0);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    struct Case {
        int mode;
        int size;
        QRgb colour;
    };
    const Case cases[] = {{3, 16, 0xFF0000AA}, {0, 32, 0xFF00AA00}, {1, 16, 0xFF0000AA}, {2, 16, 0xFF0000AA}};
    for (const Case& c : cases) {
        list.setView(c.mode);
        const QVariant decoration = model.data(first, Qt::DecorationRole);
        EXPECT_TRUE(decoration.value<QIcon>().availableSizes().contains(QSize(c.size, c.size))) << c.mode;
        EXPECT_EQ(iconPixel(decoration, c.size), c.colour) << c.mode;
        // Only the name column carries the icon.
        EXPECT_FALSE(model.data(model.index(0, 1), Qt::DecorationRole).isValid());
    }
    // Every switch repaints the icons.
    EXPECT_EQ(changed.size(), 4);
}

TEST_F(ListModelTest, IconsFollowChangesOfTheImageLists)
{
    addRow("a.txt");
    const QModelIndex first = model.index(0, 0);
    EXPECT_EQ(iconPixel(model.data(first, Qt::DecorationRole), 16), 0xFF0000AAu);

    // The key now names another picture: the converted icon must not outlive it.
    smallIcons.clear();
    smallIcons.add("xtxt", filled(16, 0xFF123456));
    EXPECT_EQ(iconPixel(model.data(first, Qt::DecorationRole), 16), 0xFF123456u);

    // The mask colour is transparent.
    smallIcons.clear();
    smallIcons.add("xtxt", filled(16, 0xFFC0C0C0));
    EXPECT_EQ(qAlpha(iconPixel(model.data(first, Qt::DecorationRole), 16)), 0);

    // Unbound lists and unknown keys draw no icon.
    list.setSmallIcons(nullptr);
    EXPECT_TRUE(model.data(first, Qt::DecorationRole).value<QIcon>().isNull());
    list.setSmallIcons(&smallIcons);
    list.setSmallIcon(1, "xtxt");
    smallIcons.clear();
    EXPECT_TRUE(model.data(first, Qt::DecorationRole).value<QIcon>().isNull());
}

TEST_F(ListModelTest, ListNoticesBecomeSignalsWithModelRows)
{
    addRow("a.txt");
    addRow("b.txt");
    QSignalSpy selected(&model, &ListModel::rowSelected);
    QSignalSpy scrolled(&model, &ListModel::scrollToRowRequested);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy geometry(&model, &ListModel::geometryChanged);
    QSignalSpy appearance(&model, &ListModel::appearanceChanged);
    QSignalSpy repaint(&model, &ListModel::repaintRequested);

    list.select(2);
    list.ensureVisible(2);
    list.select(0);
    list.setText(2, "renamed.txt");
    list.setWidth(3000);
    list.setBackColor(0x00FF0000);
    list.setVisible(false);
    list.refresh();

    ASSERT_EQ(selected.size(), 2);
    EXPECT_EQ(selected[0][0].toInt(), 1);
    EXPECT_EQ(selected[1][0].toInt(), -1);
    ASSERT_EQ(scrolled.size(), 1);
    EXPECT_EQ(scrolled[0][0].toInt(), 1);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 1);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().column(), 6);
    EXPECT_EQ(geometry.size(), 1);
    EXPECT_EQ(appearance.size(), 2);
    EXPECT_EQ(repaint.size(), 1);
}

TEST(ListModelLifetimeTest, TheListForgetsAModelThatIsGone)
{
    ListView list(listingColumns());
    {
        ListModel model(list);
        list.add();
        EXPECT_EQ(model.rowCount(), 1);
    }
    // No notice may reach the destroyed model.
    list.add();
    list.clear();
    EXPECT_EQ(list.count(), 0u);
}

} // namespace
} // namespace quenarch::qt
