#include "column_sizer.h"
#include "main_window.h"
#include "name_filter.h"

#include "quenarch/control/module_state.h"
#include "quenarch/listing/list_view.h"
#include "quenarch/qt/list_model.h"
#include "quenarch/qt/quen_archive_widget.h"
#include "support/test_platform.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

// Test failures print the texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace quenarch::view {
namespace {

QString dataPath(const std::string& name) { return QString::fromStdString(test::testData(name).string()); }
const QString demo = QFileInfo(dataPath("../../examples/demo.zip")).absoluteFilePath();
const QString threeMembers = dataPath("control/three-members.zip");

TEST(ColumnSizerTest, SamplesTheTopAndAnEvenSpreadOfTheRest)
{
    EXPECT_EQ(ColumnSizer::sampleRows(3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ColumnSizer::sampleRows(10, 4), (std::vector<int>{0, 1, 5, 9}));
    for (const int rows : {201, 1'000'000}) {
        const std::vector<int> sample = ColumnSizer::sampleRows(rows);
        ASSERT_EQ(sample.size(), std::size_t(ColumnSizer::sampleSize)) << rows;
        EXPECT_EQ(std::pair(sample[ColumnSizer::sampleSize / 2 - 1], sample.back()), std::pair(ColumnSizer::sampleSize / 2 - 1, rows - 1));
        EXPECT_TRUE(std::adjacent_find(sample.begin(), sample.end(), std::greater_equal<>()) == sample.end()) << rows;
    }
}

// The viewer's window with its settings in a file of its own, shown and active so that its
// shortcuts work.
class ViewerTest : public testing::Test {
protected:
    ViewerTest() { moduleState() = ModuleState{}; }

    MainWindow& window()
    {
        if (!window_) {
            window_ = std::make_unique<MainWindow>(MainWindow::Options{&settings});
            window_->show();
            window_->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        }
        return *window_;
    }
    // Closes the window as the user does: the next window is the next run.
    void closeWindow()
    {
        window_->close();
        window_.reset();
        moduleState() = ModuleState{};
    }
    QString inFolder(const std::string& name) const { return QString::fromStdString((folder.path() / name).string()); }
    QString file(const std::string& name, const std::string& bytes) const { return QString::fromStdString(folder.write(name, bytes).string()); }
    QString copyOf(const QString& archive, const std::string& name) const
    {
        const QString copy = file(name, "");
        std::filesystem::copy_file(archive.toStdString(), copy.toStdString(), std::filesystem::copy_options::overwrite_existing);
        return copy;
    }
    QAbstractItemView* view() { return window().archiveControl().currentView(); }
    QHeaderView* header() { return qobject_cast<QTreeView*>(view())->header(); }
    // The status bar's texts on show: the notice, the count, the type, the comment.
    QStringList status()
    {
        QStringList texts;
        for (const QLabel* label : window().statusBar()->findChildren<QLabel*>())
            if (!label->isHidden() && !label->text().isEmpty()) texts << label->text();
        return texts;
    }
    QMessageBox* errorBox()
    {
        auto* box = window().findChild<QMessageBox*>(QStringLiteral("openError"));
        return box != nullptr && box->isVisible() ? box : nullptr;
    }
    // The names the view shows, in its order.
    QStringList shownNames()
    {
        QStringList names;
        for (int row = 0; row < view()->model()->rowCount(); ++row)
            if (window().nameFilter().isShown(row)) names << view()->model()->index(row, 0).data().toString();
        return names;
    }
    QAction* action(const QString& text)
    {
        const QList<QAction*> actions = window().findChildren<QAction*>();
        const auto found = std::find_if(actions.begin(), actions.end(), [&](const QAction* action) { return action->text() == text; });
        return found != actions.end() ? *found : nullptr;
    }
    void keys(const QKeySequence& keys) { QTest::keySequence(QApplication::focusWidget(), keys); }
    void clickHeader(int section)
    {
        QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, QPoint(header()->sectionViewportPosition(section) + 5, header()->height() / 2));
    }

    test::TempDir folder;
    QSettings settings{inFolder("view.ini"), QSettings::IniFormat};
    std::unique_ptr<MainWindow> window_;
};

TEST_F(ViewerTest, TitleAndStatusBarDescribeTheArchiveOnShow)
{
    EXPECT_EQ(window().windowTitle(), "quenarch-view");
    EXPECT_TRUE(window().openArchive(demo, MainWindow::OpenedBy::CommandLine));
    EXPECT_EQ(window().windowTitle(), "demo.zip - quenarch-view");
    EXPECT_EQ(status(), (QStringList{"8 members", QString::fromStdString(window().archiveControl().control().ArchiveType()), "Demo archive for quenarch"}));

    // Reload reads the file again; Close leaves nothing on show.
    const QString changing = copyOf(threeMembers, "changing.zip");
    window().openArchive(changing);
    copyOf(demo, "changing.zip");
    keys(Qt::Key_F5);
    EXPECT_EQ(status().value(0), "8 members");
    keys(Qt::CTRL | Qt::Key_W);
    EXPECT_EQ(std::tuple(window().windowTitle(), status(), view()->model()->rowCount()), std::tuple(QString("quenarch-view"), QStringList(), 0));
    EXPECT_FALSE(action("Re&load")->isEnabled() || action("&Close")->isEnabled());
}

// A file that is no archive is on show with the control's row that says so; one that cannot be
// opened at all leaves the archive shown before on show. Either is told in the status bar, and
// in a message box when the user opened it.
TEST_F(ViewerTest, ArchivesThatCannotBeShownAreReported)
{
    std::string start(2000, '\0');
    std::ifstream(demo.toStdString(), std::ios::binary).read(start.data(), 2000);
    const QString invalid = "Not a valid archive, or a damaged one";
    const std::tuple<QString, QString, QString, QString> cases[] = {
        {file("notes.zip", "These are notes.\n"), "notes.zip", invalid, "not a valid archive"},
        {file("truncated.zip", start), "truncated.zip", invalid, "not a valid archive"},
        {inFolder("missing.zip"), "three-members.zip", "Cannot open missing.zip: Path/File not found", "Path/File not found (error 75)"},
        {dataPath("control/readme.txt"), "three-members.zip", "Cannot open readme.txt: This is not a valid archive",
         "This is not a valid archive (error 321)"},
    };
    for (const MainWindow::OpenedBy openedBy : {MainWindow::OpenedBy::CommandLine, MainWindow::OpenedBy::User}) {
        for (const auto& [path, shown, notice, boxText] : cases) {
            const std::string what = path.toStdString();
            ASSERT_TRUE(window().openArchive(threeMembers));
            EXPECT_FALSE(window().openArchive(path, openedBy)) << what;
            EXPECT_EQ(window().windowTitle(), shown + " - quenarch-view") << what;
            EXPECT_EQ(status().value(0), notice) << what;
            EXPECT_TRUE(window().lastOpenError().contains(path)) << what;
            ASSERT_EQ(errorBox() != nullptr, openedBy == MainWindow::OpenedBy::User) << what;
            if (errorBox() != nullptr) {
                EXPECT_TRUE(errorBox()->text().contains(boxText)) << errorBox()->text().toStdString();
                errorBox()->close();
            }
        }
    }
    // The previous archive is on show again, and a success clears the notice.
    EXPECT_EQ(window().archiveControl().model()->rowCount(), 3);
    EXPECT_TRUE(window().openArchive(demo));
    EXPECT_EQ(status().value(0), "8 members");
}

TEST_F(ViewerTest, RecentFilesAreOfferedInTheNextRunAndForgottenWhenGone)
{
    const QString gone = copyOf(threeMembers, "gone.zip");
    for (const QString& path : {demo, gone, demo, gone, inFolder("nothing.zip")}) window().openArchive(path);
    closeWindow();

    QMenu* recent = window().findChild<QMenu*>(QStringLiteral("recentMenu"));
    emit recent->aboutToShow();
    QStringList texts;
    for (const QAction* entry : recent->actions()) texts << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    EXPECT_EQ(texts, (QStringList{"&1 gone.zip", "&2 demo.zip", "-", "&Clear List"}));
    recent->actions().value(1)->trigger();
    EXPECT_EQ(window().windowTitle(), "demo.zip - quenarch-view");

    std::filesystem::remove(gone.toStdString());
    emit recent->aboutToShow();
    recent->actions().value(1)->trigger(); // gone.zip, now second
    ASSERT_NE(errorBox(), nullptr);
    errorBox()->close();
    EXPECT_EQ(window().recentFiles().files(), QStringList{demo});
}

TEST_F(ViewerTest, TheFilterNarrowsTheRowsByNameThroughSortsViewsAndOpens)
{
    window().openArchive(demo);
    keys(Qt::CTRL | Qt::Key_F);
    auto* filter = window().findChild<QLineEdit*>(QStringLiteral("filter"));
    ASSERT_TRUE(filter->hasFocus());
    QTest::keyClicks(filter, QStringLiteral("IN"));
    EXPECT_EQ(shownNames(), (QStringList{"Index.html", "Main.c", "Data.bin"}));
    EXPECT_EQ(status().value(0), "3 of 8 members shown");

    clickHeader(0); // descending by name
    QCoreApplication::processEvents();
    EXPECT_EQ(shownNames(), (QStringList{"Main.c", "Index.html", "Data.bin"}));
    window().archiveControl().setView(QStringLiteral("2"));
    QCoreApplication::processEvents();
    ASSERT_NE(qobject_cast<QListView*>(view()), nullptr);
    EXPECT_EQ(shownNames(), (QStringList{"Main.c", "Index.html", "Data.bin"}));
    window().openArchive(threeMembers);
    EXPECT_EQ(shownNames(), QStringList{"Main.c"});

    // Escape empties the box and shows every row.
    QTest::keyClick(filter, Qt::Key_Escape);
    EXPECT_EQ(std::pair(filter->text(), shownNames().size()), std::pair(QString(), qsizetype(3)));
    EXPECT_EQ(status().value(0), "3 members");
}

// Ctrl+C copies the selected row's name, Ctrl+Shift+C its member's path; a row that is no
// member's gives its name for both.
TEST_F(ViewerTest, CopyPutsTheSelectedRowsNameOrPathOnTheClipboard)
{
    const QString notAnArchive = file("notes.zip", "Meeting notes.");
    const std::tuple<QString, QKeySequence, QString> cases[] = {
        {demo, Qt::CTRL | Qt::Key_C, "Index.html"},
        {demo, Qt::CTRL | Qt::SHIFT | Qt::Key_C, "docs/index.html"},
        {notAnArchive, Qt::CTRL | Qt::SHIFT | Qt::Key_C, "No valid archive"},
    };
    for (const auto& [archive, copy, copied] : cases) {
        window().openArchive(archive, MainWindow::OpenedBy::CommandLine);
        QApplication::clipboard()->clear();
        view()->setFocus();
        // A click on any cell selects the row; the list's own copy would take the cell clicked.
        const int row = std::min(2, view()->model()->rowCount() - 1);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(view()->model()->index(row, 2)).center());
        keys(copy);
        EXPECT_EQ(QApplication::clipboard()->text(), copied) << copy.toString().toStdString();
    }
}

// Widths the user sets by hand, the view and the sort are there again in the next run; the
// other columns fit their contents, the last one stretching.
TEST_F(ViewerTest, ColumnsFitTheirContentsAndTheLayoutIsRememberedAcrossRuns)
{
    window().openArchive(demo);
    const QAbstractItemModel* model = view()->model();
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < model->rowCount(); ++row)
            EXPECT_LE(view()->sizeHintForIndex(model->index(row, column)).width(), header()->sectionSize(column)) << row << ',' << column;
    EXPECT_EQ(header()->sectionViewportPosition(4) + header()->sectionSize(4), header()->viewport()->width());

    // The user drags the right edge of Name 40 pixels to the right.
    const int nameWidth = header()->sectionSize(0);
    const QPoint edge(nameWidth - 1, header()->height() / 2);
    QTest::mousePress(header()->viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(header()->viewport(), edge + QPoint(40, 0));
    QTest::mouseRelease(header()->viewport(), Qt::LeftButton, {}, edge + QPoint(40, 0));
    ASSERT_EQ(header()->sectionSize(0), nameWidth + 40);
    clickHeader(1);
    window().openArchive(threeMembers);
    EXPECT_EQ(header()->sectionSize(0), nameWidth + 40);
    window().archiveControl().setView(QStringLiteral("1"));
    closeWindow();

    const ListView& list = window().archiveControl().control().fileview();
    EXPECT_EQ(std::tuple(list.view(), list.sorted(), list.sortKey(), list.sortOrder()), std::tuple(ViewMode::SmallIcon, true, 1, 1));
    window().archiveControl().setView(QStringLiteral("3"));
    window().openArchive(demo);
    QCoreApplication::processEvents();
    EXPECT_EQ(header()->sectionSize(0), nameWidth + 40);
    EXPECT_EQ(view()->model()->index(0, 0).data().toString(), "Data.bin"); // the largest first
    action("&Fit Columns to Contents")->trigger();
    EXPECT_EQ(header()->sectionSize(0), nameWidth);
}

} // namespace
} // namespace quenarch::view
