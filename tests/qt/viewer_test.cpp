#include "column_sizer.h"
#include "main_window.h"
#include "name_filter.h"
#include "recent_files.h"

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

TEST(RecentFilesTest, KeepsTheLatestFirstOnceEachUpToTheMaximumAcrossRuns)
{
    const test::TempDir folder;
    const QString file = QString::fromStdString((folder.path() / "view.ini").string());
    {
        QSettings settings(file, QSettings::IniFormat);
        RecentFiles recent(&settings);
        for (int i = 0; i < RecentFiles::maximum + 2; ++i) recent.add(QStringLiteral("/archives/%1.zip").arg(i));
        recent.add(QStringLiteral("/archives/3.zip")); // again: moves to the front
        recent.remove(QStringLiteral("/archives/9.zip"));
    }
    QSettings settings(file, QSettings::IniFormat);
    RecentFiles recent(&settings);
    EXPECT_EQ(recent.files(), (QStringList{"/archives/3.zip", "/archives/8.zip", "/archives/7.zip", "/archives/6.zip", "/archives/5.zip",
                                           "/archives/4.zip", "/archives/2.zip"}));
    // Relative paths are kept absolute: the working folder changes between runs.
    recent.add(QStringLiteral("relative.zip"));
    EXPECT_EQ(recent.files().front(), QDir::current().absoluteFilePath("relative.zip"));
    recent.clear();
    EXPECT_TRUE(RecentFiles(&settings).files().isEmpty());
}

TEST(ColumnSizerTest, SamplesTheTopAndAnEvenSpreadOfTheRest)
{
    EXPECT_TRUE(ColumnSizer::sampleRows(0).empty());
    EXPECT_EQ(ColumnSizer::sampleRows(3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ColumnSizer::sampleRows(10, 4), (std::vector<int>{0, 1, 5, 9}));
    for (const int rows : {201, 1000, 1'000'000}) {
        const std::vector<int> sample = ColumnSizer::sampleRows(rows);
        ASSERT_EQ(sample.size(), std::size_t(ColumnSizer::sampleSize)) << rows;
        EXPECT_EQ(sample[ColumnSizer::sampleSize / 2 - 1], ColumnSizer::sampleSize / 2 - 1) << rows;
        EXPECT_EQ(sample.back(), rows - 1) << rows;
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
    // Closes the window as the user does, and forgets it: the next window is another run.
    void closeWindow()
    {
        window_->close();
        window_.reset();
        moduleState() = ModuleState{};
    }
    QString file(const std::string& name, const std::string& bytes) const { return QString::fromStdString(folder.write(name, bytes).string()); }
    QAbstractItemView* view() { return window().archiveControl().currentView(); }
    QTreeView* reportView() { return qobject_cast<QTreeView*>(view()); }
    QString status() { return window().statusBar()->findChild<QLabel*>(QStringLiteral("notice"))->text(); }
    QStringList statusTexts()
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
        const QAbstractItemModel* model = view()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            if (window().nameFilter().isShown(row)) names << model->index(row, 0).data().toString();
        return names;
    }
    QAction* action(const QString& text)
    {
        for (QAction* candidate : window().findChildren<QAction*>())
            if (candidate->text() == text) return candidate;
        ADD_FAILURE() << "no action " << text.toStdString();
        return nullptr;
    }
    void key(const QKeySequence& keys)
    {
        const QKeyCombination combination = keys[0];
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &window();
        QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
    }
    void clickHeader(int section)
    {
        QHeaderView* header = reportView()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    }

    test::TempDir folder;
    QSettings settings{QString::fromStdString((folder.path() / "view.ini").string()), QSettings::IniFormat};
    std::unique_ptr<MainWindow> window_;
};

TEST_F(ViewerTest, TitleAndStatusBarDescribeTheArchiveOnShow)
{
    EXPECT_EQ(window().windowTitle(), "quenarch-view");
    EXPECT_TRUE(window().openArchive(demo, MainWindow::OpenedBy::CommandLine));
    EXPECT_EQ(window().windowTitle(), "demo.zip - quenarch-view");
    EXPECT_EQ(statusTexts(), (QStringList{"8 members", QString::fromStdString(window().archiveControl().control().ArchiveType()),
                                          "Demo archive for quenarch"}));

    // Reload reads the file again; Close leaves nothing on show.
    const QString changing = file("changing.zip", "");
    std::filesystem::copy_file(threeMembers.toStdString(), changing.toStdString(), std::filesystem::copy_options::overwrite_existing);
    window().openArchive(changing);
    std::filesystem::copy_file(demo.toStdString(), changing.toStdString(), std::filesystem::copy_options::overwrite_existing);
    key(Qt::Key_F5);
    EXPECT_EQ(statusTexts().value(0), "8 members");
    key(Qt::CTRL | Qt::Key_W);
    EXPECT_EQ(std::tuple(window().windowTitle(), statusTexts(), view()->model()->rowCount()), std::tuple(QString("quenarch-view"), QStringList(), 0));
    EXPECT_FALSE(action("Re&load")->isEnabled() || action("&Close")->isEnabled());
}

// A file that is no archive is on show with the control's row that says so; one that cannot be
// opened at all leaves the archive shown before on show. Either is told in the status bar, and
// in a message box when the user opened it.
TEST_F(ViewerTest, ArchivesThatCannotBeShownAreReported)
{
    const QString notArchive = file("notes.zip", "These are notes, not an archive.\n");
    const QString truncated = file("truncated.zip", [] {
        std::ifstream in(demo.toStdString(), std::ios::binary);
        std::string bytes(2000, '\0');
        in.read(bytes.data(), 2000);
        return bytes;
    }());
    const QString missing = QString::fromStdString((folder.path() / "missing.zip").string());
    struct Case {
        QString path;
        QString title;
        QString notice;
        QString boxText;
    };
    const Case cases[] = {
        {notArchive, "notes.zip - quenarch-view", "Not a valid archive, or a damaged one", "not a valid archive"},
        {truncated, "truncated.zip - quenarch-view", "Not a valid archive, or a damaged one", "not a valid archive"},
        {missing, "three-members.zip - quenarch-view", "Cannot open missing.zip: Path/File not found", "Path/File not found (error 75)"},
        {dataPath("control/readme.txt"), "three-members.zip - quenarch-view", "Cannot open readme.txt: This is not a valid archive",
         "This is not a valid archive (error 321)"},
    };
    for (const MainWindow::OpenedBy openedBy : {MainWindow::OpenedBy::CommandLine, MainWindow::OpenedBy::User}) {
        for (const Case& c : cases) {
            const std::string what = c.path.toStdString();
            ASSERT_TRUE(window().openArchive(threeMembers));
            EXPECT_FALSE(window().openArchive(c.path, openedBy)) << what;
            EXPECT_EQ(window().windowTitle(), c.title) << what;
            EXPECT_EQ(status(), c.notice) << what;
            EXPECT_TRUE(window().lastOpenError().contains(QDir::toNativeSeparators(c.path))) << what;
            if (openedBy == MainWindow::OpenedBy::User) {
                ASSERT_NE(errorBox(), nullptr) << what;
                EXPECT_TRUE(errorBox()->text().contains(c.boxText)) << errorBox()->text().toStdString();
                errorBox()->close();
            } else {
                EXPECT_EQ(errorBox(), nullptr) << what;
            }
        }
    }
    // The previous archive is on show again, and a success clears the notice.
    EXPECT_EQ(window().archiveControl().model()->rowCount(), 3);
    EXPECT_TRUE(window().openArchive(demo));
    EXPECT_TRUE(status().isEmpty());
    EXPECT_EQ(statusTexts().value(0), "8 members");
}

TEST_F(ViewerTest, RecentFilesAreOfferedInTheNextRunAndForgottenWhenGone)
{
    const QString gone = file("gone.zip", "");
    std::filesystem::copy_file(threeMembers.toStdString(), gone.toStdString(), std::filesystem::copy_options::overwrite_existing);
    for (const QString& path : {demo, gone}) window().openArchive(path);
    window().openArchive(QString::fromStdString((folder.path() / "nothing.zip").string())); // not there: not kept
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

TEST_F(ViewerTest, TheFilterNarrowsTheRowsByNameThroughSortsAndViews)
{
    window().openArchive(demo);
    key(Qt::CTRL | Qt::Key_F);
    auto* filter = window().findChild<QLineEdit*>(QStringLiteral("filter"));
    ASSERT_TRUE(filter->hasFocus());
    QTest::keyClicks(filter, QStringLiteral("IN"));
    EXPECT_EQ(shownNames(), (QStringList{"Index.html", "Main.c", "Data.bin"}));
    EXPECT_EQ(statusTexts().value(0), "3 of 8 members shown");

    // Sorted, the same rows are shown in the new order.
    clickHeader(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(shownNames(), (QStringList{"Main.c", "Index.html", "Data.bin"}));
    // Another view and another archive keep the filter.
    window().archiveControl().setView(QStringLiteral("2"));
    QCoreApplication::processEvents();
    EXPECT_EQ(qobject_cast<QListView*>(view())->isRowHidden(0), !shownNames().contains(view()->model()->index(0, 0).data().toString()));
    EXPECT_EQ(shownNames(), (QStringList{"Main.c", "Index.html", "Data.bin"}));
    window().openArchive(threeMembers);
    QCoreApplication::processEvents();
    EXPECT_EQ(shownNames(), QStringList{"Main.c"});

    // Escape empties the box and shows every row.
    QTest::keyClick(filter, Qt::Key_Escape);
    EXPECT_EQ(std::pair(filter->text(), shownNames().size()), std::pair(QString(), qsizetype(3)));
    EXPECT_EQ(statusTexts().value(0), "3 members");
}

TEST_F(ViewerTest, CopyPutsTheSelectedRowsNamesOnTheClipboard)
{
    window().openArchive(demo);
    QApplication::clipboard()->clear();
    view()->setFocus();
    const QModelIndex third = view()->model()->index(2, 2); // a click on any cell selects the row
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(third).center());
    key(Qt::CTRL | Qt::Key_C);
    EXPECT_EQ(QApplication::clipboard()->text(), "Index.html");
}

// Widths the user sets by hand, the view and the sort are there again in the next run; the
// other columns fit their contents, the last one stretching.
TEST_F(ViewerTest, ColumnsFitTheirContentsAndTheLayoutIsRememberedAcrossRuns)
{
    window().openArchive(demo);
    QHeaderView* header = reportView()->header();
    const QAbstractItemModel* model = view()->model();
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < model->rowCount(); ++row)
            EXPECT_LE(reportView()->sizeHintForIndex(model->index(row, column)).width(), header->sectionSize(column)) << row << ',' << column;
    EXPECT_EQ(header->sectionViewportPosition(4) + header->sectionSize(4), header->viewport()->width());

    // The user drags the right edge of Name 40 pixels to the right.
    const int nameWidth = header->sectionSize(0);
    const QPoint edge(header->sectionViewportPosition(0) + nameWidth - 1, header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(header->viewport(), edge + QPoint(40, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, edge + QPoint(40, 0));
    ASSERT_EQ(header->sectionSize(0), nameWidth + 40);
    clickHeader(1);
    window().openArchive(threeMembers); // the hand-set width outlives an open
    EXPECT_EQ(header->sectionSize(0), nameWidth + 40);
    window().archiveControl().setView(QStringLiteral("1"));
    closeWindow();

    const ListView& list = window().archiveControl().control().fileview();
    EXPECT_EQ(list.view(), ViewMode::SmallIcon);
    EXPECT_EQ(std::tuple(list.sorted(), list.sortKey(), list.sortOrder()), std::tuple(true, 1, 1));
    window().archiveControl().setView(QStringLiteral("3"));
    window().openArchive(demo);
    QCoreApplication::processEvents();
    EXPECT_EQ(reportView()->header()->sectionSize(0), nameWidth + 40);
    EXPECT_EQ(view()->model()->index(0, 0).data().toString(), "Data.bin"); // the largest first
    action("&Fit Columns to Contents")->trigger();
    EXPECT_EQ(reportView()->header()->sectionSize(0), nameWidth);
}

} // namespace
} // namespace quenarch::view
