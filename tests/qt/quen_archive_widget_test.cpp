#include "quenarch/qt/quen_archive_widget.h"

#include "quenarch/control/module_state.h"
#include "quenarch/control/variant.h"
#include "quenarch/qt/list_model.h"
#include "support/test_platform.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <functional>

// Test failures print the texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace quenarch::qt {
namespace {

QString archivePath(const std::string& name) { return QString::fromStdString(test::testData(name).string()); }
const QString threeMembers = archivePath("control/three-members.zip");
const QString demo = archivePath("../../examples/demo.zip");
// The test platform's icons are filled with the colour of their index: txt 1, doc 2.
constexpr QRgb textIcon = 0xFF000001, documentIcon = 0xFF000002;

// A control on a screen whose dots are half again as tall as they are wide (96 x 144 dots per
// inch), so that a length converted along the wrong axis shows.
class TallDotsWidget final : public QuenArchiveWidget {
public:
    using QuenArchiveWidget::QuenArchiveWidget;
    int metric(PaintDeviceMetric metric) const override { return metric == PdmDpiX ? 96 : metric == PdmDpiY ? 144 : QuenArchiveWidget::metric(metric); }
};

// The control at (30, 20) on a form, its events logged one line each; an item click also logs
// what its handler finds: the current row, ItemFileName and the Picture's width.
class WidgetTest : public testing::Test {
protected:
    WidgetTest()
    {
        moduleState() = ModuleState{};
        form.resize(700, 460);
        widget->setGeometry(30, 20, 640, 400);
        widget->readProperties(noProperties);
        const auto mouse = [this](const char* name) {
            return [this, name](short button, short shift) { log << QStringLiteral("%1 %2 %3").arg(name).arg(button).arg(shift); };
        };
        QObject::connect(widget, &QuenArchiveWidget::mouseDown, mouse("MouseDown"));
        QObject::connect(widget, &QuenArchiveWidget::mouseUp, mouse("MouseUp"));
        QObject::connect(widget, &QuenArchiveWidget::click, [this] { log << QStringLiteral("Click"); });
        QObject::connect(widget, &QuenArchiveWidget::dblClick, [this] { log << QStringLiteral("DblClick"); });
        QObject::connect(widget, &QuenArchiveWidget::columnClick, [this](int column) { log << QStringLiteral("ColumnClick %1").arg(column); });
        QObject::connect(widget, &QuenArchiveWidget::itemClick, [this](int row, QString name, QString size, QString packed, QString type, QDateTime modified) {
            log << QStringLiteral("ItemClick %1 %2 %3 %4 %5 %6 (%7 %8 %9)")
                       .arg(row).arg(name, size, packed, type, modified.toString(Qt::ISODate)).arg(moduleState().CurrentRow)
                       .arg(QString::fromStdString(widget->control().ItemFileName())).arg(widget->picture().width());
        });
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    void open(const QString& path = threeMembers)
    {
        widget->setArchive(path);
        ASSERT_EQ(widget->lastError().number, 0) << widget->lastError().description.toStdString();
    }
    QAbstractItemView* view() const { return widget->currentView(); }
    QTreeView* reportView() const { return qobject_cast<QTreeView*>(widget->currentView()); }
    QStringList column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < widget->model()->rowCount(); ++row) cells << widget->model()->index(row, column).data().toString();
        return cells;
    }
    QRect rowRect(int row) const { return view()->visualRect(widget->model()->index(row - 1, 0)); }
    void clickRow(int row, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(view()->viewport(), button, {}, rowRect(row).center()); }
    // How many pixels of a colour the list shows in a row; asking for the row's place lays the view out first.
    int pixelsOf(QRgb colour, int row) const
    {
        const QRect rect = rowRect(row);
        const QImage shown = view()->viewport()->grab().toImage();
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x) count += shown.valid(x, y) && shown.pixel(x, y) == colour;
        return count;
    }

    test::TestPlatform t;
    MemoryPropertyBag noProperties;
    QWidget form;
    QuenArchiveWidget* widget = new TallDotsWidget(t.platform, &form);
    QStringList log;
};

TEST_F(WidgetTest, AnArchiveOpensIntoTheReportViewWithTheSmallIconsOfItsTypes)
{
    open();
    ASSERT_TRUE(reportView() && reportView()->isVisible());
    EXPECT_EQ(column(0), QStringList({"Readme.txt", "Main.c", "Guide.doc"}));
    EXPECT_EQ(column(1), QStringList({"6", "13", "1,500"}));
    EXPECT_EQ(column(3), QStringList({"Text Document", "c file", "Document"}));
    // Name, Size, Packed, Type and Modified at their widths in twips, the sizes aligned right;
    // Date and CRC out of sight.
    const int widths[] = {1500, 1000, 1000, 1440, 1440, 0, 0};
    QStringList captions;
    for (int section = 0; section < 7; ++section) {
        captions << widget->model()->headerData(section, Qt::Horizontal).toString();
        EXPECT_EQ(reportView()->header()->isSectionHidden(section), widths[section] == 0) << section;
        if (widths[section] > 0) {
            EXPECT_EQ(reportView()->header()->sectionSize(section), qRound(widths[section] / 15.0)) << section;
        }
        for (const QVariant& alignment : {widget->model()->index(0, section).data(Qt::TextAlignmentRole),
                                         widget->model()->headerData(section, Qt::Horizontal, Qt::TextAlignmentRole)})
            EXPECT_EQ(alignment.value<Qt::Alignment>().testFlag(Qt::AlignRight), section == 1 || section == 2) << section;
    }
    EXPECT_EQ(captions.join(','), "Name,Size,Packed,Type,Modified,Date,CRC");
    EXPECT_GE(pixelsOf(textIcon, 1), 16 * 16 / 2);
    EXPECT_EQ(pixelsOf(documentIcon, 1), 0);
    EXPECT_GE(pixelsOf(documentIcon, 3), 16 * 16 / 2);
}

TEST_F(WidgetTest, HeaderClicksSortBothWaysByValueKeepingTheSelectedRow)
{
    open(demo);
    clickRow(2);
    const QString selected = view()->currentIndex().data().toString();
    const auto inOrder = [&](int section, Qt::SortOrder order) {
        const QStringList cells = column(section);
        const auto number = [](QString text) { return text.remove(',').toLong(); };
        for (int row = 1; row < cells.size(); ++row) {
            const long step = section == 1 ? number(cells[row]) - number(cells[row - 1]) : cells[row].compare(cells[row - 1], Qt::CaseInsensitive);
            if (order == Qt::AscendingOrder ? step < 0 : step > 0) return false;
        }
        return true;
    };
    // The direction alternates, across columns too.
    for (const auto& [section, order] : {std::pair(1, Qt::DescendingOrder), std::pair(1, Qt::AscendingOrder), std::pair(0, Qt::DescendingOrder)}) {
        QHeaderView* header = reportView()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
        EXPECT_TRUE(inOrder(section, order)) << column(section).join(' ').toStdString();
        EXPECT_EQ(std::pair(header->sortIndicatorSection(), header->sortIndicatorOrder()), std::pair(section, order));
        EXPECT_EQ(view()->selectionModel()->selectedRows().value(0).data().toString(), selected);
        EXPECT_EQ(column(0).value(static_cast<int>(widget->control().fileview().selectedIndex()) - 1), selected);
    }
    EXPECT_EQ(log.filter("ColumnClick"), QStringList({"ColumnClick 2", "ColumnClick 2", "ColumnClick 1"}));
}

TEST_F(WidgetTest, MouseActionsRaiseTheControlsEventsInOrder)
{
    open();
    QWidget* viewport = view()->viewport();
    // Row 0 is below the rows; a press on row -1 is left out.
    const auto pressAndRelease = [&](int pressed, int released) {
        const auto at = [&](int row) { return row ? rowRect(row).center() : rowRect(3).bottomLeft() + QPoint(5, 40); };
        if (pressed >= 0) QTest::mousePress(viewport, Qt::LeftButton, {}, at(pressed));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at(released));
    };
    const std::tuple<const char*, std::function<void()>, QStringList> cases[] = {
        {"a click away from the rows", [&] { pressAndRelease(0, 0); }, {"MouseDown 1 0", "MouseUp 1 0", "Click"}},
        {"a right click", [&] { clickRow(2, Qt::RightButton); }, {"MouseDown 2 0", "MouseUp 2 0"}},
        {"pressed on one row, released on another", [&] { pressAndRelease(1, 2); }, {"MouseDown 1 0", "MouseUp 1 0", "Click"}},
        {"a double click", [&] { clickRow(2); QTest::mouseDClick(viewport, Qt::LeftButton, {}, rowRect(2).center()); pressAndRelease(-1, 2); },
         {"MouseDown 1 0", "MouseUp 1 0", "ItemClick 2 Main.c 13 13 c file 2001-12-31T14:22:06 (2 Main.c 32)", "Click", "MouseDown 1 0",
          "DblClick", "MouseUp 1 0"}},
        // The row is current and its 32 x 32 icon the Picture inside itemClick.
        {"a row click", [&] { clickRow(3); },
         {"MouseDown 1 0", "MouseUp 1 0", "ItemClick 3 Guide.doc 1,500 14 Document 2001-12-31T14:22:06 (3 Guide.doc 32)", "Click"}},
    };
    for (const auto& [what, act, events] : cases) {
        log.clear();
        act();
        EXPECT_EQ(log, events) << what;
    }
    // The click after the row click leaves the row's 16 x 16 icon.
    EXPECT_EQ(widget->picture().size(), QSize(16, 16));
    EXPECT_EQ(widget->picture().toImage().pixel(8, 8), documentIcon);
    EXPECT_EQ(widget->control().fileview().selectedIndex(), 3u);
}

// Positions are in pixels of the form, counted from the list's top-left corner (header included).
TEST_F(WidgetTest, MouseEventsCarryFormPositionsButtonsAndKeys)
{
    open();
    QWidget* viewport = view()->viewport();
    const QPoint at = rowRect(1).center(), onForm = QPoint(30, 20) + viewport->mapTo(view(), at);
    const std::tuple<Qt::MouseButton, Qt::KeyboardModifiers, short, short> cases[] = {
        {Qt::LeftButton, Qt::NoModifier, 1, 0}, {Qt::RightButton, Qt::ShiftModifier, 2, 1}, {Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier, 4, 6},
        {Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, 1, 7}};
    for (const auto& [button, keys, buttonCode, shiftCode] : cases) {
        QSignalSpy down(widget, &QuenArchiveWidget::mouseDown), up(widget, &QuenArchiveWidget::mouseUp);
        QTest::mouseClick(viewport, button, keys, at);
        const QList<QVariant> expected{buttonCode, shiftCode, float(onForm.x()), float(onForm.y())};
        EXPECT_EQ(down, QList<QList<QVariant>>{expected});
        EXPECT_EQ(up, QList<QList<QVariant>>{expected});
    }
    // A move reports every button held.
    QSignalSpy moved(widget, &QuenArchiveWidget::mouseMove);
    QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier);
    QApplication::sendEvent(viewport, &move);
    EXPECT_EQ(moved, (QList<QList<QVariant>>{{short{3}, short{1}, float(onForm.x()), float(onForm.y())}}));
}

// The control's own event carries -1 for a row past 32,767: the widget passes the current row.
TEST_F(WidgetTest, RowsBeyondTheEventRangeAreSignalledInFull)
{
    ListView& list = widget->control().fileview();
    list.beginUpdate();
    for (int row = 1; row <= 40000; ++row) list.setText(list.add(), "member" + std::to_string(row));
    list.endUpdate();
    view()->scrollTo(widget->model()->index(39999, 0));
    clickRow(40000);
    EXPECT_EQ(log.filter("ItemClick").join('\n').toStdString(), "ItemClick 40000 member40000    1899-12-30T00:00:00 (40000 member40000 0)");
}

TEST_F(WidgetTest, ViewModesShowTheirViewWithItsIcons)
{
    open();
    const std::tuple<QString, QListView::ViewMode, QListView::Flow, int> cases[] = {
        {"0", QListView::IconMode, QListView::LeftToRight, 32},
        {"1", QListView::ListMode, QListView::LeftToRight, 16},
        {"2-List", QListView::ListMode, QListView::TopToBottom, 16},
        {"3", QListView::ListMode, QListView::TopToBottom, 16}, // a report: the tree view
        {" 3", QListView::IconMode, QListView::LeftToRight, 32}, // only the first character counts
    };
    for (const auto& [mode, listMode, flow, iconSize] : cases) {
        const std::string what = mode.toStdString();
        widget->setView(mode);
        EXPECT_EQ(widget->view(), mode);
        EXPECT_TRUE(view()->isVisible()) << what;
        EXPECT_EQ(view()->iconSize(), QSize(iconSize, iconSize)) << what;
        EXPECT_GE(pixelsOf(documentIcon, 3), iconSize * iconSize / 2) << what;
        EXPECT_EQ(reportView() != nullptr, mode == "3") << what;
        if (auto* list = qobject_cast<QListView*>(view())) {
            EXPECT_EQ(std::tuple(list->viewMode(), list->flow(), rowRect(3).size()), std::tuple(listMode, flow, list->gridSize())) << what;
        }
        log.clear();
        clickRow(1);
        EXPECT_EQ(log.filter("ItemClick"), QStringList("ItemClick 1 Readme.txt 6 6 Text Document 2001-12-31T14:22:06 (1 Readme.txt 32)")) << what;
    }
    // The selection follows the cursor and survives a change of view.
    EXPECT_EQ(widget->control().MoveLast(), 0);
    widget->setView("3");
    EXPECT_EQ(view()->selectionModel()->selectedRows().value(0).row(), 2);
}

TEST_F(WidgetTest, ResizingStretchesTheListOverTheControl)
{
    for (const QSize size : {QSize(450, 300), QSize(800, 120), QSize(640, 400)}) {
        widget->resize(size);
        const ListView& list = widget->control().fileview();
        EXPECT_EQ(std::pair(list.width(), list.height()), std::pair(size.width() * 15, size.height() * 10));
        EXPECT_EQ(view()->geometry(), QRect(QPoint(0, 0), size));
    }
    EXPECT_EQ(widget->sizeHint(), QSize(331, 306)); // 4965 x 3060 twips
}

// Colours read back resolved: the defaults are the system colours window background and button text.
TEST_F(WidgetTest, PropertiesAreReachableByNameNotifyAndReachTheViews)
{
    EXPECT_EQ(widget->backColor(), QGuiApplication::palette().color(QPalette::Base));
    EXPECT_EQ(widget->foreColor(), QGuiApplication::palette().color(QPalette::ButtonText));
    QFont font(QStringLiteral("DejaVu Serif"), 15);
    font.setItalic(true);
    const std::pair<const char*, QVariant> cases[] = {
        {"BackColor", QColor(0x11, 0x22, 0x33)}, {"ForeColor", QColor(0xAA, 0xBB, 0xCC)}, {"Font", font}, {"Enabled", false},
        {"Visible", false}, {"View", QVariant::fromValue(QuenArchiveWidget::SmallIcon)}, {"Archive", QString(threeMembers).replace("three-members.zip", "Three-Members.Zip")},
    };
    const QMetaObject* meta = widget->metaObject();
    for (const auto& [name, value] : cases) {
        QSignalSpy notify(widget, meta->property(meta->indexOfProperty(name)).notifySignal()), changed(widget, &QuenArchiveWidget::propertyChanged);
        ASSERT_TRUE(widget->setProperty(name, value)) << name;
        EXPECT_EQ(notify.size(), 1) << name;
        EXPECT_EQ(changed, QList<QList<QVariant>>{{QString::fromLatin1(name)}}) << name;
        EXPECT_EQ(widget->property(name), value) << name;
    }
    // The control holds the path upper-cased, the widget as it was given; and only while the control keeps it.
    EXPECT_EQ(QString::fromStdString(toText(widget->control().Archive(), *t.platform.locale)), threeMembers.toUpper());
    widget->control().LetArchive(Variant(std::string()));
    EXPECT_EQ(widget->archive(), QString());
    EXPECT_EQ(std::pair(widget->control().BackColor(), widget->control().ForeColor()), std::pair(0x00332211u, 0x00CCBBAAu));
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        EXPECT_EQ(view()->palette().color(group, QPalette::Base), QColor(0x11, 0x22, 0x33));
        EXPECT_EQ(view()->palette().color(group, QPalette::Text), QColor(0xAA, 0xBB, 0xCC));
    }
    EXPECT_EQ(std::tuple(view()->font().family(), view()->font().pointSize(), view()->font().italic()), std::tuple(QString("DejaVu Serif"), 15, true));
    // Visible hides the list, not the control; Enabled is the control's own, whatever its form's.
    EXPECT_FALSE(view()->isVisible() || view()->isEnabled() || reportView());
    EXPECT_TRUE(widget->isVisible());
    widget->setControlEnabled(true);
    form.setEnabled(false);
    EXPECT_TRUE(widget->controlEnabled());
}

TEST_F(WidgetTest, RefusedAssignmentsAreReportedAndKept)
{
    QSignalSpy archiveErrors(widget, &QuenArchiveWidget::archiveError), propertyErrors(widget, &QuenArchiveWidget::propertyError);
    open();
    widget->setArchive(archivePath("control/readme.txt"));
    EXPECT_EQ(std::tuple(archiveErrors.value(0).value(0).toInt(), widget->lastError().number, widget->model()->rowCount()), std::tuple(321, 321, 0));
    EXPECT_EQ(widget->archive(), archivePath("control/readme.txt")); // as given
    widget->setView("7");
    EXPECT_EQ(propertyErrors.value(0).mid(0, 2), (QList<QVariant>{QStringLiteral("View"), 380}));
    EXPECT_EQ(widget->view(), "7");
    EXPECT_NE(reportView(), nullptr);
    open(); // a later success clears the error

}

// An error that a handler of the control's events lets out ends the user's action at the widget.
TEST_F(WidgetTest, ErrorsLeavingEventHandlersStopAtTheWidget)
{
    open();
    QSignalSpy errors(widget, &QuenArchiveWidget::eventError);
    const auto readRowNinetyNine = [this] { widget->control().fileview().row(99); };
    QObject::connect(widget, &QuenArchiveWidget::itemClick, readRowNinetyNine);
    QObject::connect(widget, &QuenArchiveWidget::columnClick, readRowNinetyNine);
    clickRow(2);
    EXPECT_FALSE(log.contains("Click")) << "the row click ends the action";
    QHeaderView* header = reportView()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(std::pair(errors[0][0].toString(), errors[1][0].toString()), std::pair(QString("ItemClick"), QString("ColumnClick")));
    EXPECT_EQ(std::pair(errors[1][1].toInt(), errors[1][1].toInt() != 0), std::pair(widget->lastError().number, true));
    EXPECT_EQ(std::pair(header->sortIndicatorSection(), column(0).value(0)), std::pair(1, QString("Guide.doc"))) << "the sort came before the event";
}

// The Name cell tells the member's stored path; a cell cut short tells its whole text, in every view.
TEST_F(WidgetTest, TooltipsTellPathsAndWhatCellsCutShort)
{
    open(demo);
    ListView& list = widget->control().fileview();
    list.setText(list.add(), "A member whose name is far too long for any cell of the icon or list views.txt");
    const QString longName = column(0).constLast();
    const std::tuple<QuenArchiveWidget::ViewChoice, int, int, int, QString> cases[] = {
        // view, row, column, its width in the report view (0: as laid out), tooltip
        {QuenArchiveWidget::Report, 1, 0, 0, "docs/notes.txt"},
        {QuenArchiveWidget::Report, 1, 0, 30, "Notes.txt\ndocs/notes.txt"},
        {QuenArchiveWidget::Report, 6, 1, 0, ""},
        {QuenArchiveWidget::Report, 6, 1, 12, "20,000"},
        {QuenArchiveWidget::Icon, 3, 0, 0, "src/main.c"},
        {QuenArchiveWidget::Icon, 8, 0, 0, longName},
        {QuenArchiveWidget::List, 8, 0, 0, longName},
        {QuenArchiveWidget::SmallIcon, 0, 0, 0, "README.md"},
    };
    for (const auto& [choice, row, section, width, tip] : cases) {
        widget->setView(choice);
        if (reportView() != nullptr) reportView()->header()->resizeSection(section, width > 0 ? width : list.columns()[section].width / 15);
        const QModelIndex index = widget->model()->index(row, section);
        view()->scrollTo(index);
        const QPoint at = view()->visualRect(index).center(), global = view()->viewport()->mapToGlobal(at);
        // A tip that stays the sentinel was not replaced: the cell has none.
        QToolTip::showText(global, QStringLiteral("-"), view()->viewport());
        QHelpEvent help(QEvent::ToolTip, at, global);
        QApplication::sendEvent(view()->viewport(), &help);
        EXPECT_EQ(QToolTip::text().replace(QRegularExpression("^-$"), QString()), tip) << choice << ' ' << row << ',' << section;
        QToolTip::hideText();
    }
}

// Beside a label in a layout the control takes the room; its header shows the sort the list has.
TEST_F(WidgetTest, TakesTheRoomOfItsLayoutAndShowsTheSortApplied)
{
    auto* label = new QLabel(QStringLiteral("Members:"), &form);
    auto* layout = new QVBoxLayout(&form);
    layout->addWidget(label);
    layout->addWidget(widget);
    label->show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_EQ(std::pair(label->height(), widget->height() > 380), std::pair(label->sizeHint().height(), true));

    open(demo);
    ListView& list = widget->control().fileview();
    QHeaderView* header = reportView()->header();
    list.setSortSettings(9, 1, true); // a key beyond the columns sorts by Name
    EXPECT_EQ(std::tuple(header->sortIndicatorSection(), header->sortIndicatorOrder(), column(0).value(0)), std::tuple(0, Qt::DescendingOrder, QString("Util.h")));
    list.setSortSettings(3, 0, false);
    EXPECT_FALSE(header->isSortIndicatorShown());
    // A sort made while another view is on show.
    widget->setView(QuenArchiveWidget::List);
    list.setSortSettings(4, 0, true);
    widget->setView(QuenArchiveWidget::Report);
    EXPECT_EQ(std::tuple(reportView()->header()->isSortIndicatorShown(), reportView()->header()->sortIndicatorSection(), reportView()->header()->sortIndicatorOrder()),
              std::tuple(true, 4, Qt::AscendingOrder));
}

} // namespace
} // namespace quenarch::qt
