#include "quenarch/qt/property_page_dialog.h"

#include "quenarch/base/automation_error.h"
#include "quenarch/control/headless_host.h"
#include "quenarch/control/module_state.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/base/text_case.h"
#include "quenarch/qt/quen_archive_widget.h"
#include "support/test_platform.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <memory>

#ifdef QUENARCH_DESIGNER_PLUGIN
#include "designer_plugin/design_stand_ins.h"
#endif

namespace quenarch::qt {
namespace {

using Button = QDialogButtonBox::StandardButton;

// Works the page as a user does: keys and clicks on its boxes and buttons, found by their names.
struct PageDriver {
    std::unique_ptr<PropertyPageDialog> dialog;

    template <typename Widget = QWidget>
    Widget* child(const char* name) const
    {
        auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPushButton* button(Button which) const { return dialog->findChild<QDialogButtonBox*>()->button(which); }
    void press(Button which) const { QTest::mouseClick(button(which), Qt::LeftButton); }
    // The error message box, when one is on show.
    QMessageBox* error() const { auto* box = dialog->findChild<QMessageBox*>(); return box && box->isVisible() ? box : nullptr; }
    // The space bar clicks a check box wherever its text ends.
    void toggle(const char* checkBox) const { QTest::keyClick(child<QCheckBox>(checkBox), Qt::Key_Space); }
    void chooseView(int index) const
    {
        QTest::keyClick(child<QComboBox>("cmbview"), Qt::Key_Home);
        for (int step = 0; step < index; ++step) QTest::keyClick(child<QComboBox>("cmbview"), Qt::Key_Down);
    }
    void typeArchive(const QString& text) const
    {
        QTest::keyClick(child<QLineEdit>("txtarchive"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(child<QLineEdit>("txtarchive"), text);
    }
};

// The page over two controls, the first one first.
class PropertyPageDialogTest : public testing::Test {
protected:
    PropertyPageDialogTest() { moduleState() = ModuleState{}; }

    void open()
    {
        page.dialog = std::make_unique<PropertyPageDialog>([this] { return std::vector<QuenArchive*>{&first, &second}; });
        page.dialog->show();
    }
    std::string viewOf(const QuenArchive& control) const { return toText(control.View(), *t.platform.locale); }

    test::TestPlatform t;
    HeadlessHost firstHost, secondHost;
    QuenArchive first{firstHost, t.platform};
    QuenArchive second{secondHost, t.platform};
    PageDriver page;
};

// The page shows the first control's values. The boxes start unchecked and empty, so a loaded
// value that differs is an edit; positioning the view list is not.
TEST_F(PropertyPageDialogTest, LoadsTheFirstControlsValuesAndMarksItselfChangedForEditsOnly)
{
    first.LetView(Variant("2-List"));
    second.LetView(Variant("0"));
    for (const auto& [enabled, visible, changed] : {std::tuple(true, false, true), std::tuple(false, true, true), std::tuple(false, false, false)}) {
        first.LetEnabled(enabled);
        first.LetVisible(visible);
        open();
        EXPECT_EQ(std::pair(page.child<QCheckBox>("chkEnabled")->isChecked(), page.child<QCheckBox>("chkVisible")->isChecked()), std::pair(enabled, visible));
        EXPECT_EQ(page.child<QComboBox>("cmbview")->currentText(), "2-List");
        EXPECT_EQ(std::pair(page.dialog->isChanged(), page.button(Button::Apply)->isEnabled()), std::pair(changed, changed)) << enabled << visible;
    }
    const std::string archive = test::testData("control/three-members.zip").string();
    first.LetArchive(Variant(archive));
    open();
    EXPECT_EQ(page.child<QLineEdit>("txtarchive")->text().toStdString(), toUpper(archive));
    page.chooseView(1);
    EXPECT_TRUE(page.button(Button::Apply)->isEnabled());
    page.press(Button::Ok); // OK applies the edits and closes
    EXPECT_EQ(std::pair(page.dialog->result(), viewOf(second)), std::pair(int(QDialog::Accepted), std::string("1")));
}

TEST_F(PropertyPageDialogTest, ApplyWritesThePageInOrderAndTheViewToEverySelectedControl)
{
    open();
    page.toggle("chkVisible");
    page.chooseView(2);
    page.press(Button::Apply);
    EXPECT_EQ(firstHost.changedProperties, (std::vector<std::string>{"Visible", "Enabled", "Archive", "View"}));
    EXPECT_EQ(secondHost.changedProperties, std::vector<std::string>{"View"});
    EXPECT_EQ(std::tuple(first.Visible(), viewOf(first), viewOf(second)), std::tuple(true, std::string("2"), std::string("2")));
    EXPECT_EQ(page.error(), nullptr);
    EXPECT_FALSE(page.button(Button::Apply)->isEnabled()); // it waits for the next edit
    // OK without edits closes without writing.
    firstHost.changedProperties.clear();
    page.press(Button::Ok);
    EXPECT_FALSE(page.dialog->isVisible());
    EXPECT_TRUE(firstHost.changedProperties.empty());
}

TEST_F(PropertyPageDialogTest, AMissingArchiveIsShownAndStopsTheApplyBeforeTheView)
{
    open();
    page.typeArchive("/nowhere/missing.zip");
    page.chooseView(0);
    for (const Button command : {Button::Apply, Button::Ok}) {
        page.press(command);
        ASSERT_NE(page.error(), nullptr);
        EXPECT_TRUE(page.error()->text().contains("75") && page.error()->text().contains("Path/File not found")) << page.error()->text().toStdString();
        page.error()->close();
        // Visible, Enabled and Archive were written, no view; the page stays open with its edits.
        EXPECT_EQ(firstHost.changedProperties, (std::vector<std::string>{"Visible", "Enabled", "Archive"}));
        EXPECT_EQ(viewOf(first), "3");
        EXPECT_TRUE(secondHost.changedProperties.empty());
        EXPECT_TRUE(page.dialog->isVisible() && page.button(Button::Apply)->isEnabled());
        firstHost.changedProperties.clear();
    }
}

// The file browser opens at the folder of the first control's archive, which the control reads
// back upper-cased, or of an archive that has gone while its folder is there; at the working
// folder when there is no archive. The window is titled for people.
TEST_F(PropertyPageDialogTest, TheFileBrowserOpensAtTheFolderOfTheArchive)
{
    const test::TempDir folder;
    folder.write("Saved/Backup.zip", "");
    const QString saved = QString::fromStdString((folder.path() / "Saved").string()), working = QDir::currentPath();
    const std::pair<QString, QString> cases[] = {
        {"", working},
        {saved + "/Backup.zip", saved},
        {saved + "/gone.zip", saved},
        {"/nowhere/at/all.zip", working},
    };
    for (const auto& [archive, expected] : cases) {
        try {
            first.LetArchive(Variant(archive.toStdString()));
        } catch (const AutomationError&) {
            // A missing archive keeps its path.
        }
        open();
        EXPECT_EQ(page.child<QTreeView>("Dir1")->currentIndex().data(QFileSystemModel::FilePathRole).toString(), expected) << archive.toStdString();
        if (expected == saved) {
            EXPECT_EQ(page.child<QListWidget>("File1")->item(0)->text(), "Backup.zip");
        }
    }
    EXPECT_EQ(page.dialog->windowTitle(), "Quen Archive Control Properties");
    EXPECT_EQ(page.dialog->objectName(), "ViewProperties");
}

// The boxes start at the current folder; the file box lists the archives of the folder clicked,
// whatever the case of their names, and a file clicked is joined to the folder with "/".
TEST_F(PropertyPageDialogTest, TheFileBrowserFillsTheArchiveTextWithTheFileClicked)
{
    const test::TempDir folder;
    for (const char* name : {"b.ZIP", "a.arj", "notes.txt", "c.lzh", "d.cab.bak", "sub/e.rar"}) folder.write(name, "");
    const QString path = QString::fromStdString(folder.path().string()), previousFolder = QDir::currentPath();
    QDir::setCurrent(path);
    open();
    QDir::setCurrent(previousFolder);
    auto* files = page.child<QListWidget>("File1");
    auto* folders = page.child<QTreeView>("Dir1");
    EXPECT_EQ(folders->currentIndex().data(QFileSystemModel::FilePathRole).toString(), path);
    EXPECT_GE(page.child<QComboBox>("Drive1")->findData(QStringLiteral("/")), 0);
    for (const auto& [subFolder, names] : {std::pair("", QStringList{"a.arj", "b.ZIP", "c.lzh"}), std::pair("/sub", QStringList{"e.rar"})}) {
        const QModelIndex index = static_cast<QFileSystemModel*>(folders->model())->index(path + subFolder);
        folders->scrollTo(index);
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, folders->visualRect(index).center());
        QStringList shown;
        for (int row = 0; row < files->count(); ++row) shown << files->item(row)->text();
        ASSERT_EQ(shown, names);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(files->item(names.size() - 1)).center());
        EXPECT_EQ(page.child<QLineEdit>("txtarchive")->text(), path + subFolder + "/" + names.back());
    }
}

#ifdef QUENARCH_DESIGNER_PLUGIN
// In Designer the page works on stand-ins of the selected widgets, whose writes are passed on to
// the form editor; here each write sets the property of its widget and is logged.
TEST(DesignStandInsTest, ApplyingReachesTheWidgetsOnlyThroughTheFormInThePagesOrder)
{
    moduleState() = ModuleState{};
    test::TestPlatform t;
    auto first = std::make_unique<QuenArchiveWidget>(t.platform), second = std::make_unique<QuenArchiveWidget>(t.platform);
    // The form keeps the path as typed; the page shows it upper-cased, as the control reads it.
    const QString typed = QString::fromStdString(test::testData("control/three-members.zip").string()).replace("three-members", "Three-Members");
    first->setArchive(typed);
    first->setView("2-List");
    first->setControlVisible(true);
    second->setView("0");
    designer_plugin::DesignStandIns standIns({first.get(), second.get()});
    const auto passWritesOn = [&] {
        QStringList writes;
        standIns.passWritesOn([&](QuenArchiveWidget* widget, const QString& name, const QVariant& value) {
            writes.append(QStringLiteral("%1.%2=%3").arg(widget == first.get() ? "first" : "second", name, value.toString()));
            widget->setProperty(name.toUtf8().constData(), value);
        });
        return writes;
    };
    PageDriver page{std::make_unique<PropertyPageDialog>([&] { return standIns.controls(); })};
    EXPECT_EQ(page.child<QComboBox>("cmbview")->currentText(), "2-List");
    EXPECT_EQ(passWritesOn(), QStringList()) << "loading the page writes nothing";

    page.chooseView(1);
    page.toggle("chkVisible");
    page.press(Button::Apply);
    EXPECT_EQ(first->view(), "2-List") << "the widgets wait for the form";
    EXPECT_EQ(page.child<QLineEdit>("txtarchive")->text(), typed.toUpper());
    EXPECT_EQ(passWritesOn(), (QStringList{"first.Visible=false", "first.Enabled=true", "first.Archive=" + typed, "first.View=1", "second.View=1"}));
    EXPECT_EQ(std::tuple(first->view(), second->view(), first->controlVisible()), std::tuple(QString("1"), QString("1"), false));
    EXPECT_EQ(passWritesOn(), QStringList()) << "each write is passed on once";

    // A failed apply passes on what it wrote: the archive keeps its path, on the widget as on the stand-in.
    page.typeArchive("/nowhere/missing.zip");
    page.press(Button::Apply);
    ASSERT_NE(page.error(), nullptr);
    // The path goes to the form as typed, not as the control reads it back (upper-cased).
    EXPECT_EQ(passWritesOn(), (QStringList{"first.Visible=false", "first.Enabled=true", "first.Archive=/nowhere/missing.zip"}));
    EXPECT_EQ(first->lastError().number, 75);
    // A widget that has gone is passed over.
    page.error()->close();
    second.reset();
    page.typeArchive(" ");
    page.press(Button::Apply);
    EXPECT_EQ(passWritesOn(), (QStringList{"first.Visible=false", "first.Enabled=true", "first.Archive= ", "first.View=1"}));
}
#endif

} // namespace
} // namespace quenarch::qt
