#include "qt/quen_archive_widget.h"

#include "control/module_state.h"
#include "qt/list_model.h"
#include "support/test_platform.h"

#include <QApplication>
#include <QHeaderView>
#include <QListView>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>

namespace quenarch::qt {
namespace {

QString archivePath(const std::string& name) { return QString::fromStdString(test::testData(name).string()); }

const QString threeMembers = archivePath("control/three-members.zip");
const QString demo = archivePath("../../examples/demo.zip");

// The control's events as the widget signals them, one line each.
class EventLog {
public:
    explicit EventLog(QuenArchiveWidget& widget)
    {
        const auto mouse = [this](const char* name) {
            return [this, name](short button, short shift, float, float) { lines << QStringLiteral("%1 %2 %3").arg(name).arg(button).arg(shift); };
        };
        QObject::connect(&widget, &QuenArchiveWidget::mouseDown, mouse("MouseDown"));
        QObject::connect(&widget, &QuenArchiveWidget::mouseUp, mouse("MouseUp"));
        QObject::connect(&widget, &QuenArchiveWidget::click, [this] { lines << QStringLiteral("Click"); });
        QObject::connect(&widget, &QuenArchiveWidget::dblClick, [this] { lines << QStringLiteral("DblClick"); });
        QObject::connect(&widget, &QuenArchiveWidget::columnClick, [this](int column) { lines << QStringLiteral("ColumnClick %1").arg(column); });
        QObject::connect(&widget, &QuenArchiveWidget::itemClick,
                         [this](int row, const QString& name, const QString& size, const QString& packed, const QString& type, const QDateTime& modified) {
                             lines << QStringLiteral("ItemClick %1 %2 %3 %4 %5 %6").arg(row).arg(name, size, packed, type, modified.toString(Qt::ISODate));
                         });
    }

    QStringList lines;
};

class WidgetTest : public testing::Test {
protected:
    WidgetTest()
    {
        moduleState() = ModuleState{};
        widget.resize(640, 400);
        widget.readProperties(noProperties);
        widget.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }

    void open(const QString& path)
    {
        widget.setArchive(path);
        ASSERT_EQ(widget.lastError().number, 0) << widget.lastError().description.toStdString();
    }

    QAbstractItemView* view() const { return widget.currentView(); }
    QTreeView* reportView() const { return qobject_cast<QTreeView*>(widget.currentView()); }

    QString cell(int row, int column = 0) const { return widget.model()->index(row - 1, column).data().toString(); }

    QStringList column(int column) const
    {
        QStringList cells;
        for (int row = 1; row <= widget.model()->rowCount(); ++row) cells << cell(row, column);
        return cells;
    }

    QPoint rowCentre(int row) const { return view()->visualRect(widget.model()->index(row - 1, 0)).center(); }

    void clickRow(int row, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(view()->viewport(), button, {}, rowCentre(row)); }

    void clickHeader(int section)
    {
        QHeaderView* header = reportView()->header();
        const QPoint inside(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, inside);
    }

    // How many pixels of a colour the list shows inside a rectangle of its viewport.
    int pixelsOf(QRgb colour, const QRect& area) const
    {
        const QImage shown = view()->viewport()->grab().toImage();
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shown.valid(x, y) && shown.pixel(x, y) == colour) ++count;
        return count;
    }

    test::TestPlatform t;
    MemoryPropertyBag noProperties;
    QuenArchiveWidget widget{t.platform};
    EventLog log{widget};
};

// The test platform's icons are filled with the colour of their index: txt 1, doc 2.
constexpr QRgb textIcon = 0xFF000001;
constexpr QRgb documentIcon = 0xFF000002;

TEST_F(WidgetTest, AnArchiveOpensIntoTheReportView)
{
    open(threeMembers);
    ASSERT_NE(reportView(), nullptr);
    EXPECT_TRUE(reportView()->isVisible());
    EXPECT_EQ(column(0), QStringList({"Readme.txt", "Main.c", "Guide.doc"}));
    EXPECT_EQ(column(1), QStringList({"6", "13", "1,500"}));
    EXPECT_EQ(cell(3, 3), "Document");

    // Name, Size, Packed, Type and Modified at their widths; Date and CRC out of sight.
    const QHeaderView* header = reportView()->header();
    const int widths[] = {1500, 1000, 1000, 1440, 1440};
    for (int section = 0; section < 5; ++section) {
        EXPECT_FALSE(header->isSectionHidden(section));
        EXPECT_EQ(header->sectionSize(section), qRound(widths[section] * widget.logicalDpiX() / 1440.0)) << section;
    }
    EXPECT_TRUE(header->isSectionHidden(5));
    EXPECT_TRUE(header->isSectionHidden(6));

    // Each row shows the small icon of its type.
    const QRect first = reportView()->visualRect(widget.model()->index(0, 0));
    const QRect third = reportView()->visualRect(widget.model()->index(2, 0));
    EXPECT_GE(pixelsOf(textIcon, first), 16 * 16 / 2);
    EXPECT_EQ(pixelsOf(documentIcon, first), 0);
    EXPECT_GE(pixelsOf(documentIcon, third), 16 * 16 / 2);
}

TEST_F(WidgetTest, IconViewShowsTheLargeIcons)
{
    open(threeMembers);
    widget.setView("0");
    const QRect first = view()->visualRect(widget.model()->index(0, 0));
    EXPECT_GE(pixelsOf(textIcon, first), 32 * 32 / 2);
}

TEST_F(WidgetTest, HeaderClicksSortBothWaysBySizeValue)
{
    open(demo);
    const auto sizes = [&] {
        std::vector<long> values;
        for (QString text : column(1)) values.push_back(text.remove(',').toLong());
        return values;
    };

    clickHeader(1);
    std::vector<long> descending = sizes();
    EXPECT_TRUE(std::is_sorted(descending.rbegin(), descending.rend()));
    EXPECT_EQ(reportView()->header()->sortIndicatorSection(), 1);
    EXPECT_EQ(reportView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);

    clickHeader(1);
    std::vector<long> ascending = sizes();
    EXPECT_TRUE(std::is_sorted(ascending.begin(), ascending.end()));
    EXPECT_EQ(reportView()->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(ascending.front(), 1);
    EXPECT_EQ(ascending.back(), 20000);

    // The direction alternates across columns: the next header sorts descending.
    clickHeader(0);
    QStringList names = column(0);
    QStringList expected = names;
    std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) > 0; });
    EXPECT_EQ(names, expected);
    EXPECT_EQ(log.lines, QStringList({"ColumnClick 2", "ColumnClick 2", "ColumnClick 1"}));
}

TEST_F(WidgetTest, SortingKeepsTheSelectedRowSelected)
{
    open(threeMembers);
    clickRow(3);
    ASSERT_EQ(view()->currentIndex().data().toString(), "Guide.doc");
    clickHeader(1); // descending by size: Guide.doc comes first
    EXPECT_EQ(cell(1), "Guide.doc");
    EXPECT_EQ(view()->selectionModel()->selectedRows().value(0).row(), 0);
    EXPECT_EQ(widget.control().fileview().selectedIndex(), 1u);
}

TEST_F(WidgetTest, ARowClickRaisesItemClickWithTheRowAlreadyCurrentThenClick)
{
    open(threeMembers);
    QString nameInHandler;
    std::int32_t currentInHandler = 0;
    QSize pictureInHandler;
    QObject::connect(&widget, &QuenArchiveWidget::itemClick, [&] {
        nameInHandler = QString::fromStdString(widget.control().ItemFileName());
        currentInHandler = moduleState().CurrentRow;
        pictureInHandler = widget.picture().size();
    });

    clickRow(3);
    EXPECT_EQ(log.lines, QStringList({"MouseDown 1 0", "MouseUp 1 0", "ItemClick 3 Guide.doc 1,500 14 Document 2001-12-31T14:22:06", "Click"}));
    EXPECT_EQ(nameInHandler, "Guide.doc");
    EXPECT_EQ(currentInHandler, 3);
    // The row click shows the large icon; the click after it leaves the small one.
    EXPECT_EQ(pictureInHandler, QSize(32, 32));
    EXPECT_EQ(widget.picture().size(), QSize(16, 16));
    EXPECT_EQ(widget.picture().toImage().pixel(8, 8), documentIcon);
    EXPECT_EQ(widget.control().fileview().selectedIndex(), 3u);
}

TEST_F(WidgetTest, ClicksAwayFromRowsAndWithOtherButtons)
{
    open(threeMembers);
    const QRect last = view()->visualRect(widget.model()->index(2, 0));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 40));
    EXPECT_EQ(log.lines, QStringList({"MouseDown 1 0", "MouseUp 1 0", "Click"}));
    EXPECT_EQ(moduleState().CurrentRow, 0);
    EXPECT_TRUE(widget.picture().isNull());

    // Only the left button clicks.
    log.lines.clear();
    clickRow(2, Qt::RightButton);
    EXPECT_EQ(log.lines, QStringList({"MouseDown 2 0", "MouseUp 2 0"}));

    // Pressed on one row and released on another: a click, not a row click.
    log.lines.clear();
    QTest::mousePress(view()->viewport(), Qt::LeftButton, {}, rowCentre(1));
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, {}, rowCentre(2));
    EXPECT_EQ(log.lines, QStringList({"MouseDown 1 0", "MouseUp 1 0", "Click"}));
}

TEST_F(WidgetTest, ADoubleClickFollowsTheClickItEnds)
{
    open(threeMembers);
    clickRow(2);
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, rowCentre(2));
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, {}, rowCentre(2));
    EXPECT_EQ(log.lines, QStringList({"MouseDown 1 0", "MouseUp 1 0", "ItemClick 2 Main.c 13 13 c file 2001-12-31T14:22:06", "Click",
                                      "MouseDown 1 0", "DblClick", "MouseUp 1 0"}));
}

TEST_F(WidgetTest, RowsBeyondTheEventRangeAreSignalledInFull)
{
    ListView& list = widget.control().fileview();
    constexpr std::size_t rows = 40000;
    list.beginUpdate();
    for (std::size_t i = 1; i <= rows; ++i) list.setText(list.add(), "member" + std::to_string(i));
    list.endUpdate();

    int rowSignalled = 0;
    QString nameInHandler;
    QObject::connect(&widget, &QuenArchiveWidget::itemClick, [&](int row) {
        rowSignalled = row;
        nameInHandler = QString::fromStdString(widget.control().ItemFileName());
    });
    view()->scrollTo(widget.model()->index(rows - 1, 0));
    clickRow(static_cast<int>(rows));
    EXPECT_EQ(rowSignalled, 40000);
    EXPECT_EQ(nameInHandler, "member40000");
}

TEST(WidgetMouseTest, PositionsAreInTheContainersPixelsWithButtonAndKeyCodes)
{
    moduleState() = ModuleState{};
    test::TestPlatform t;
    QWidget form;
    form.resize(700, 500);
    auto* widget = new QuenArchiveWidget(t.platform, &form);
    widget->setGeometry(30, 20, 600, 400);
    MemoryPropertyBag noProperties;
    widget->readProperties(noProperties);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    widget->setArchive(threeMembers);

    QWidget* viewport = widget->currentView()->viewport();
    const QPoint viewportInList = viewport->mapTo(widget->currentView(), QPoint(0, 0));
    const QPoint at = widget->currentView()->visualRect(widget->model()->index(0, 0)).center();

    struct Case {
        Qt::MouseButton button;
        Qt::KeyboardModifiers keys;
        short buttonCode;
        short shiftCode;
    };
    const Case cases[] = {
        {Qt::LeftButton, Qt::NoModifier, 1, 0},
        {Qt::RightButton, Qt::ShiftModifier, 2, 1},
        {Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier, 4, 6},
        {Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, 1, 7},
    };
    for (const Case& c : cases) {
        QSignalSpy down(widget, &QuenArchiveWidget::mouseDown);
        QSignalSpy up(widget, &QuenArchiveWidget::mouseUp);
        QTest::mouseClick(viewport, c.button, c.keys, at);
        ASSERT_EQ(down.size(), 1);
        ASSERT_EQ(up.size(), 1);
        for (const QList<QVariant>& event : {down[0], up[0]}) {
            EXPECT_EQ(event[0].value<short>(), c.buttonCode);
            EXPECT_EQ(event[1].value<short>(), c.shiftCode);
            EXPECT_FLOAT_EQ(event[2].toFloat(), static_cast<float>(30 + viewportInList.x() + at.x()));
            EXPECT_FLOAT_EQ(event[3].toFloat(), static_cast<float>(20 + viewportInList.y() + at.y()));
        }
    }

    // A move reports every button held.
    QSignalSpy moved(widget, &QuenArchiveWidget::mouseMove);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::LeftButton | Qt::RightButton,
                     Qt::ShiftModifier);
    QApplication::sendEvent(viewport, &move);
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved[0][0].value<short>(), 3);
    EXPECT_EQ(moved[0][1].value<short>(), 1);
}

TEST_F(WidgetTest, ViewModesShowTheirView)
{
    open(threeMembers);
    struct Case {
        QString view;
        bool report;
        QListView::ViewMode mode;
        QListView::Flow flow;
        int iconSize;
    };
    const Case cases[] = {
        {"0", false, QListView::IconMode, QListView::LeftToRight, 32},
        {"1", false, QListView::ListMode, QListView::LeftToRight, 16},
        {"2-List", false, QListView::ListMode, QListView::TopToBottom, 16},
        {"3", true, QListView::ListMode, QListView::TopToBottom, 16},
        {" 3", false, QListView::IconMode, QListView::LeftToRight, 32}, // only the first character counts
    };
    for (const Case& c : cases) {
        widget.setView(c.view);
        EXPECT_EQ(widget.view(), c.view);
        QAbstractItemView* shown = view();
        EXPECT_TRUE(shown->isVisible()) << c.view.toStdString();
        EXPECT_EQ(shown->model(), widget.model());
        EXPECT_EQ(qobject_cast<QTreeView*>(shown) != nullptr, c.report) << c.view.toStdString();
        EXPECT_EQ(shown->iconSize(), QSize(c.iconSize, c.iconSize)) << c.view.toStdString();
        if (auto* list = qobject_cast<QListView*>(shown)) {
            EXPECT_EQ(list->viewMode(), c.mode) << c.view.toStdString();
            EXPECT_EQ(list->flow(), c.flow) << c.view.toStdString();
            // Every item has its whole grid cell, however long the first item's name.
            for (int row = 0; row < 3; ++row) EXPECT_EQ(list->visualRect(widget.model()->index(row, 0)).size(), list->gridSize());
        }
        // The other view is out of sight and out of work.
        for (QAbstractItemView* other : widget.findChildren<QAbstractItemView*>())
            if (other != shown && qobject_cast<QHeaderView*>(other) == nullptr) {
                EXPECT_FALSE(other->isVisible());
                EXPECT_NE(other->model(), widget.model());
            }

        // Row clicks work in every view.
        log.lines.clear();
        clickRow(1);
        EXPECT_TRUE(log.lines.contains("ItemClick 1 Readme.txt 6 6 Text Document 2001-12-31T14:22:06")) << c.view.toStdString();
    }
}

TEST_F(WidgetTest, CursorMovesAndUserSelectionsAgree)
{
    open(threeMembers);
    EXPECT_EQ(widget.control().MoveLast(), 0);
    EXPECT_EQ(view()->currentIndex().row(), 2);
    EXPECT_EQ(widget.control().MovePrevious(), 0);
    EXPECT_EQ(view()->selectionModel()->selectedRows().value(0).row(), 1);

    // The selection survives a change of view.
    widget.setView("1");
    EXPECT_EQ(view()->selectionModel()->selectedRows().value(0).row(), 1);

    clickRow(1);
    EXPECT_EQ(widget.control().fileview().selectedIndex(), 1u);
    EXPECT_TRUE(widget.control().fileview().row(1).selected);
    EXPECT_FALSE(widget.control().fileview().row(2).selected);
}

TEST_F(WidgetTest, VisibleAndEnabledActOnTheListAndTheWholeControl)
{
    open(threeMembers);
    widget.setControlVisible(false);
    EXPECT_FALSE(view()->isVisible());
    EXPECT_TRUE(widget.isVisible());
    EXPECT_FALSE(widget.controlVisible());
    widget.setControlVisible(true);
    EXPECT_TRUE(view()->isVisible());

    widget.setControlEnabled(false);
    EXPECT_FALSE(widget.isEnabled());
    EXPECT_FALSE(view()->isEnabled());
    EXPECT_FALSE(widget.controlEnabled());
    widget.setControlEnabled(true);

    // Enabled is the control's own state, whatever its container's.
    QWidget form;
    widget.setParent(&form);
    form.setEnabled(false);
    EXPECT_FALSE(widget.isEnabled());
    EXPECT_TRUE(widget.controlEnabled());
    widget.setParent(nullptr);
}

TEST_F(WidgetTest, SavedPropertiesReachTheViews)
{
    open(threeMembers);
    MemoryPropertyBag saved;
    saved.set("View", Variant("0"));
    saved.set("Visible", Variant(false));
    saved.set("BackColor", Variant(std::int32_t{0x00102030}));
    widget.readProperties(saved);
    EXPECT_NE(qobject_cast<QListView*>(view()), nullptr);
    EXPECT_FALSE(view()->isVisible());
    EXPECT_EQ(view()->palette().color(QPalette::Base), QColor(0x30, 0x20, 0x10));

    MemoryPropertyBag written;
    widget.writeProperties(written);
    EXPECT_EQ(written.values().at("View"), Variant("0"));
    EXPECT_EQ(written.values().at("Visible"), Variant(false));
}

TEST_F(WidgetTest, ColoursAndFontReachTheViews)
{
    // The defaults are system colours: window background and button text.
    EXPECT_EQ(widget.backColor(), QGuiApplication::palette().color(QPalette::Base));
    EXPECT_EQ(widget.foreColor(), QGuiApplication::palette().color(QPalette::ButtonText));
    EXPECT_EQ(view()->palette().color(QPalette::Base), widget.backColor());

    widget.setBackColor(QColor(0x11, 0x22, 0x33));
    widget.setForeColor(QColor(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(widget.control().BackColor(), 0x00332211u);
    EXPECT_EQ(widget.control().ForeColor(), 0x00CCBBAAu);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        EXPECT_EQ(view()->palette().color(group, QPalette::Base), QColor(0x11, 0x22, 0x33));
        EXPECT_EQ(view()->palette().color(group, QPalette::Text), QColor(0xAA, 0xBB, 0xCC));
    }

    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(15);
    font.setItalic(true);
    widget.setControlFont(font);
    EXPECT_EQ(widget.control().Font()->name, "DejaVu Serif");
    EXPECT_EQ(view()->font().family(), "DejaVu Serif");
    EXPECT_EQ(view()->font().pointSizeF(), 15);
    EXPECT_TRUE(view()->font().italic());
}

TEST_F(WidgetTest, ResizingStretchesTheListOverTheControl)
{
    for (const QSize size : {QSize(450, 300), QSize(800, 120), QSize(640, 400)}) {
        widget.resize(size);
        QCoreApplication::processEvents();
        const ListView& list = widget.control().fileview();
        EXPECT_EQ(list.width(), qRound(size.width() * 1440.0 / widget.logicalDpiX()));
        EXPECT_EQ(list.height(), qRound(size.height() * 1440.0 / widget.logicalDpiY()));
        EXPECT_EQ(view()->mapTo(&widget, QPoint(0, 0)), QPoint(0, 0));
        EXPECT_EQ(view()->size(), size);
    }
}

TEST_F(WidgetTest, RefusedAssignmentsAreReportedAndKept)
{
    QSignalSpy archiveErrors(&widget, &QuenArchiveWidget::archiveError);
    struct Case {
        QString path;
        int number;
    };
    const Case cases[] = {
        {archivePath("control/no-such.zip"), 75},
        {"ab", 321},
        {archivePath("control/readme.txt"), 321},
    };
    for (const Case& c : cases) {
        open(threeMembers);
        widget.setArchive(c.path);
        ASSERT_FALSE(archiveErrors.isEmpty()) << c.path.toStdString();
        EXPECT_EQ(archiveErrors.takeLast()[0].toInt(), c.number) << c.path.toStdString();
        EXPECT_EQ(widget.lastError().number, c.number);
        EXPECT_FALSE(widget.lastError().description.isEmpty());
        EXPECT_EQ(widget.model()->rowCount(), 0) << c.path.toStdString();
        EXPECT_EQ(widget.archive().compare(c.path, Qt::CaseInsensitive), 0);
    }
    open(threeMembers);
    EXPECT_EQ(widget.lastError().number, 0);
    EXPECT_TRUE(archiveErrors.isEmpty());

    QSignalSpy propertyErrors(&widget, &QuenArchiveWidget::propertyError);
    widget.setView("7");
    ASSERT_EQ(propertyErrors.size(), 1);
    EXPECT_EQ(propertyErrors[0][0].toString(), "View");
    EXPECT_EQ(propertyErrors[0][1].toInt(), 380);
    EXPECT_EQ(widget.view(), "7");
    EXPECT_NE(reportView(), nullptr);
}

TEST_F(WidgetTest, PropertiesAreReachableByNameAndNotify)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPointSize(11);
    struct Case {
        const char* name;
        QVariant value;
    };
    const Case cases[] = {
        {"BackColor", QColor(1, 2, 3)},
        {"ForeColor", QColor(4, 5, 6)},
        {"Font", font},
        {"Enabled", false},
        {"Visible", false},
        {"View", QStringLiteral("1")},
        {"Archive", threeMembers},
    };
    const QMetaObject* meta = widget.metaObject();
    for (const Case& c : cases) {
        const QMetaProperty property = meta->property(meta->indexOfProperty(c.name));
        ASSERT_TRUE(property.isValid()) << c.name;
        ASSERT_TRUE(property.hasNotifySignal()) << c.name;
        QSignalSpy notify(&widget, property.notifySignal());
        QSignalSpy changed(&widget, &QuenArchiveWidget::propertyChanged);
        ASSERT_TRUE(widget.setProperty(c.name, c.value)) << c.name;
        EXPECT_EQ(notify.size(), 1) << c.name;
        ASSERT_EQ(changed.size(), 1) << c.name;
        EXPECT_EQ(changed[0][0].toString(), c.name);
        if (std::string_view(c.name) == "Archive")
            EXPECT_EQ(widget.property(c.name).toString(), c.value.toString().toUpper());
        else
            EXPECT_EQ(widget.property(c.name), c.value) << c.name;
    }
    EXPECT_TRUE(meta->property(meta->indexOfProperty("Archive")).isStored()); // a form shows its listing when loaded
}

} // namespace
} // namespace quenarch::qt
