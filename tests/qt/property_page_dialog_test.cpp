#include "qt/property_page_dialog.h"

#include "control/headless_host.h"
#include "control/module_state.h"
#include "control/quen_archive.h"
#include "platform/text_case.h"
#include "property_page_driver.h"
#include "support/test_platform.h"

#include <QDir>
#include <QFileSystemModel>
#include <QListWidget>
#include <QStorageInfo>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace quenarch::qt {
namespace {

using Button = QDialogButtonBox::StandardButton;

class PropertyPageDialogTest : public testing::Test {
protected:
    PropertyPageDialogTest() { moduleState() = ModuleState{}; }

    PropertyPageDriver open()
    {
        dialog = std::make_unique<PropertyPageDialog>([this] { return std::vector<QuenArchive*>{&first, &second}; });
        dialog->show();
        return {*dialog};
    }
    std::string viewOf(const QuenArchive& control) const { return toText(control.View(), *t.platform.locale); }

    test::TestPlatform t;
    HeadlessHost firstHost, secondHost;
    QuenArchive first{firstHost, t.platform};
    QuenArchive second{secondHost, t.platform};
    std::unique_ptr<PropertyPageDialog> dialog;
};

TEST_F(PropertyPageDialogTest, LoadsTheFirstControlsValues)
{
    const std::string archive = test::testData("control/three-members.zip").string();
    first.LetVisible(true);
    first.LetArchive(Variant(archive));
    first.LetView(Variant("3-Report"));
    second.LetView(Variant("1"));
    const auto page = open();
    EXPECT_EQ(dialog->windowTitle(), "ViewProperties");
    EXPECT_TRUE(page.child<QCheckBox>("chkVisible")->isChecked());
    EXPECT_TRUE(page.child<QCheckBox>("chkEnabled")->isChecked());
    EXPECT_EQ(page.child<QLineEdit>("txtarchive")->text().toStdString(), toUpper(archive));
    EXPECT_EQ(page.child<QComboBox>("cmbview")->currentText(), "3-Report");
}

TEST_F(PropertyPageDialogTest, MarksItselfChangedOnlyForEdits)
{
    struct Case {
        const char* what;
        bool enabled, visible, changedOnLoad;
    };
    // The boxes start unchecked and empty, so a loaded value that differs is an edit; positioning
    // the view list is not.
    for (const Case& c : {Case{"a new control: Enabled checks its box", true, false, true}, Case{"a visible control", false, true, true},
                          Case{"nothing to show but the view", false, false, false}}) {
        first.LetEnabled(c.enabled);
        first.LetVisible(c.visible);
        const auto page = open();
        EXPECT_EQ(dialog->isChanged(), c.changedOnLoad) << c.what;
        EXPECT_EQ(page.button(Button::Apply)->isEnabled(), c.changedOnLoad) << c.what;
    }
    const PropertyPageDriver page{*dialog};
    page.chooseView(1);
    EXPECT_TRUE(dialog->isChanged());
    EXPECT_TRUE(page.button(Button::Apply)->isEnabled());
}

TEST_F(PropertyPageDialogTest, ApplyWritesInOrderAndTheViewToEverySelectedControl)
{
    const auto page = open();
    page.toggle("chkVisible");
    page.chooseView(2);
    page.press(Button::Apply);
    EXPECT_EQ(firstHost.changedProperties, (std::vector<std::string>{"Visible", "Enabled", "Archive", "View"}));
    EXPECT_EQ(secondHost.changedProperties, std::vector<std::string>{"View"});
    EXPECT_TRUE(first.Visible());
    EXPECT_EQ(viewOf(first), "2");
    EXPECT_EQ(viewOf(second), "2");
    // Applied: Apply waits for the next edit.
    EXPECT_EQ(page.error(), nullptr);
    EXPECT_FALSE(page.button(Button::Apply)->isEnabled());
}

TEST_F(PropertyPageDialogTest, OkAppliesOnlyWhenThereAreEdits)
{
    first.LetEnabled(false);
    firstHost.changedProperties.clear();
    open().press(Button::Ok);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(firstHost.changedProperties.empty());

    const auto page = open();
    page.chooseView(1);
    page.press(Button::Ok);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(viewOf(second), "1");
}

TEST_F(PropertyPageDialogTest, AMissingArchiveIsShownAndStopsTheApplyBeforeTheView)
{
    const auto page = open();
    page.typeArchive("/nowhere/missing.zip");
    page.chooseView(0);
    for (const Button command : {Button::Apply, Button::Ok}) {
        page.press(command);
        QMessageBox* error = page.error();
        ASSERT_NE(error, nullptr);
        EXPECT_TRUE(error->text().contains("75") && error->text().contains("Path/File not found")) << error->text().toStdString();
        error->close();
        // Visible, Enabled and Archive were written, no view; the page stays open with its edits.
        EXPECT_EQ(firstHost.changedProperties, (std::vector<std::string>{"Visible", "Enabled", "Archive"}));
        EXPECT_EQ(viewOf(first), "3");
        EXPECT_TRUE(secondHost.changedProperties.empty());
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(page.button(Button::Apply)->isEnabled());
        firstHost.changedProperties.clear();
    }
}

TEST_F(PropertyPageDialogTest, TheBrowserStartsAtTheCurrentFolderAndFillsTheTextWithTheFileClicked)
{
    test::TempDir folder;
    for (const char* name : {"b.ZIP", "a.arj", "notes.txt", "c.lzh", "d.cab.bak", "sub/e.rar"}) folder.write(name, "");
    const QString path = QString::fromStdString(folder.path().string());
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(path);
    const auto page = open();
    QDir::setCurrent(previousFolder);

    auto* files = page.child<QListWidget>("File1");
    auto* folders = page.child<QTreeView>("Dir1");
    auto* drives = page.child<QComboBox>("Drive1");
    const auto fileNames = [files] {
        QStringList names;
        for (int row = 0; row < files->count(); ++row) names.append(files->item(row)->text());
        return names;
    };
    const auto currentFolder = [folders] { return folders->currentIndex().data(QFileSystemModel::FilePathRole).toString(); };
    const auto clickFile = [files](const QString& name) {
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found.front()).center());
    };
    EXPECT_EQ(currentFolder(), path);
    EXPECT_EQ(drives->currentData().toString(), QStorageInfo(path).rootPath());
    EXPECT_EQ(fileNames(), (QStringList{"a.arj", "b.ZIP", "c.lzh"}));
    clickFile("b.ZIP");
    EXPECT_EQ(page.child<QLineEdit>("txtarchive")->text(), path + "/b.ZIP");

    const QModelIndex sub = static_cast<QFileSystemModel*>(folders->model())->index(path + "/sub");
    folders->scrollTo(sub);
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, folders->visualRect(sub).center());
    EXPECT_EQ(fileNames(), QStringList{"e.rar"});
    clickFile("e.rar");
    EXPECT_EQ(page.child<QLineEdit>("txtarchive")->text(), path + "/sub/e.rar");

    // The drive box offers the root; choosing it moves both boxes there.
    const int root = drives->findData(QStringLiteral("/"));
    ASSERT_GE(root, 0);
    emit drives->activated(root); // as the drop-down list reports a user's choice
    EXPECT_EQ(currentFolder(), "/");
    EXPECT_FALSE(fileNames().contains("e.rar"));

}

} // namespace
} // namespace quenarch::qt
