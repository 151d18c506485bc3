#include "quenarch/control/quen_archive.h"
#include "quenarch/qt/list_model.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

using Signals = QList<QList<QVariant>>;
constexpr std::uint32_t smallBlue = 0xFF0000AA, largeGreen = 0xFF00AA00;

Picture filled(int size, std::uint32_t argb) { return std::make_shared<Image>(size, size, 0, argb); }

class ListModelTest : public testing::Test {
protected:
    ListModelTest()
    {
        smallIcons.add("xtxt", filled(16, smallBlue));
        largeIcons.add("xtxt", filled(32, largeGreen));
        list.setSmallIcons(&smallIcons);
        list.setIcons(&largeIcons);
        list.setView(3);
    }

    void addRows(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            const std::size_t row = list.add();
            list.setText(row, name);
            list.setIcon(row, "xtxt");
            list.setSmallIcon(row, "xtxt");
        }
    }
    QString names() const
    {
        QStringList all;
        for (int row = 0; row < model.rowCount(); ++row) all << model.index(row, 0).data().toString();
        return all.join(' ');
    }
    // The centre pixel of the first row's icon at a size; 0 for none.
    QRgb iconPixel(int size) const
    {
        const QIcon icon = model.index(0, 0).data(Qt::DecorationRole).value<QIcon>();
        return icon.availableSizes().contains(QSize(size, size)) ? icon.pixmap(size).toImage().pixel(size / 2, size / 2) : 0;
    }

    ListView list{listingColumns()};
    ImageList smallIcons{16, 16};
    ImageList largeIcons;
    ListModel model{list};
};

// The list changes first and tells afterwards: the views learn of the rows once, in one notice per
// update, and a list emptied within an update starts them over.
TEST_F(ListModelTest, RowsComeAsTheListAnnouncesThem)
{
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted), reset(&model, &QAbstractItemModel::modelReset);
    addRows({"a.txt"});
    list.beginUpdate();
    addRows({"b.txt", "c.txt"});
    EXPECT_EQ(model.rowCount(), 1);
    list.endUpdate();
    EXPECT_EQ(inserted, (Signals{{QModelIndex(), 0, 0}, {QModelIndex(), 1, 2}}));
    EXPECT_EQ(names(), "a.txt b.txt c.txt");

    list.beginUpdate();
    list.clear();
    addRows({"d.txt"});
    EXPECT_EQ(names(), "d.txt  "); // rows the list has removed read as empty until it tells
    list.endUpdate();
    EXPECT_EQ(std::pair(reset.size(), inserted.size()), (std::pair<qsizetype, qsizetype>(1, 2)));
    EXPECT_EQ(names(), "d.txt");
    list.clear();
    EXPECT_EQ(std::pair(reset.size(), model.rowCount()), (std::pair<qsizetype, int>(2, 0)));
}

TEST_F(ListModelTest, IconsComeFromTheImageListOfTheViewModeAsItIsNow)
{
    addRows({"a.txt"});
    for (const auto& [mode, size, colour] : {std::tuple(0, 32, largeGreen), std::tuple(1, 16, smallBlue)}) {
        list.setView(mode);
        EXPECT_EQ(iconPixel(size), colour) << mode;
    }
    // The key now names another picture: the converted icon must not outlive it.
    smallIcons.clear();
    smallIcons.add("xtxt", filled(16, 0xFF123456));
    EXPECT_EQ(iconPixel(16), 0xFF123456u);
    smallIcons.clear();
    smallIcons.add("xtxt", filled(16, 0xFFC0C0C0));
    EXPECT_EQ(qAlpha(iconPixel(16)), 0); // the mask colour is transparent
    list.setSmallIcons(nullptr);
    EXPECT_EQ(iconPixel(16), 0u);
}

TEST_F(ListModelTest, ListNoticesBecomeSignalsWithModelRows)
{
    addRows({"a.txt", "b.txt", "c.txt"});
    QSignalSpy selected(&model, &ListModel::rowSelected), scrolled(&model, &ListModel::scrollToRowRequested),
        changed(&model, &QAbstractItemModel::dataChanged);
    list.select(2);
    list.ensureVisible(3);
    list.select(0);
    list.setText(2, "renamed.txt");
    EXPECT_EQ(selected, (Signals{{1}, {-1}}));
    EXPECT_EQ(scrolled, Signals{{2}});
    EXPECT_EQ(changed.value(0).mid(0, 2), (QList<QVariant>{model.index(1, 0), model.index(1, 6)}));
}

} // namespace
} // namespace quenarch::qt
