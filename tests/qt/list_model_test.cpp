#include "quenarch/control/quen_archive.h"
#include "quenarch/qt/list_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

using Signals = QList<QList<QVariant>>;
constexpr std::uint32_t smallBlue = 0xFF0000AA, largeGreen = 0xFF00AA00;

Picture filled(int size, std::uint32_t argb) { return std::make_shared<Image>(size, size, 0, argb); }

// Qt's model tester reports what it finds wrong as warnings; each one fails the test.
class ModelTesterWarnings {
public:
    ModelTesterWarnings()
    {
        seen().clear();
        previous_ = qInstallMessageHandler(&ModelTesterWarnings::take);
    }
    ~ModelTesterWarnings() { qInstallMessageHandler(previous_); }

    static QStringList& seen()
    {
        static QStringList messages;
        return messages;
    }

private:
    static void take(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg) seen() << message;
    }
    QtMessageHandler previous_;
};

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

// Each change of the rows is bracketed as Qt's views expect: rows appended one by one are
// inserted, an update's additions and emptyings come as one reset.
TEST_F(ListModelTest, RowsChangeBetweenTheModelsBeginAndEndSignals)
{
    ModelTesterWarnings warnings;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted), reset(&model, &QAbstractItemModel::modelReset);
    addRows({"a.txt", "b.txt"});
    EXPECT_EQ(inserted, (Signals{{QModelIndex(), 0, 0}, {QModelIndex(), 1, 1}}));

    list.beginUpdate();
    list.clear();
    addRows({"d.txt", "c.txt"});
    list.endUpdate();
    list.beginUpdate();
    addRows({"e.txt"});
    list.endUpdate();
    EXPECT_EQ(std::pair(reset.size(), inserted.size()), (std::pair<qsizetype, qsizetype>(2, 2)));
    EXPECT_EQ(names(), "d.txt c.txt e.txt");

    list.setSortSettings(NameColumn, 0, true);
    EXPECT_EQ(names(), "c.txt d.txt e.txt");
    list.setText(1, "z.txt");
    list.setSubItem(2, SizeColumn, "12");
    list.setView(0);
    list.clear();
    EXPECT_EQ(std::pair(reset.size(), model.rowCount()), (std::pair<qsizetype, int>(3, 0)));
    EXPECT_TRUE(ModelTesterWarnings::seen().isEmpty()) << ModelTesterWarnings::seen().join('\n').toStdString();
}

TEST_F(ListModelTest, IconsComeFromTheImageListOfTheViewModeAsItIsNow)
{
    addRows({"a.txt"});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (const auto& [mode, size, colour] : {std::tuple(0, 32, largeGreen), std::tuple(1, 16, smallBlue)}) {
        list.setView(mode);
        EXPECT_EQ(iconPixel(size), colour) << mode;
    }
    EXPECT_EQ(changed.size(), 2);
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

} // namespace
} // namespace quenarch::qt
