#include "designer_plugin/design_stand_ins.h"

#include "control/module_state.h"
#include "property_page_driver.h"
#include "qt/quen_archive_widget.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <memory>

namespace quenarch::designer_plugin {
namespace {

using Button = QDialogButtonBox::StandardButton;

class DesignStandInsTest : public testing::Test {
protected:
    DesignStandInsTest()
    {
        moduleState() = ModuleState{};
        firstWidget->setObjectName("first");
        secondWidget->setObjectName("second");
    }

    qt::PropertyPageDriver open()
    {
        standIns = std::make_unique<DesignStandIns>(QList<qt::QuenArchiveWidget*>{firstWidget.get(), secondWidget.get()});
        dialog = std::make_unique<qt::PropertyPageDialog>([this] { return standIns->controls(); });
        return {*dialog};
    }

    // Passes the page's writes on as the form editor does, setting each property of its widget;
    // returns them as "widget.property=value".
    QStringList passWritesOn()
    {
        QStringList writes;
        standIns->passWritesOn([&writes](qt::QuenArchiveWidget* widget, const QString& name, const QVariant& value) {
            writes.append(QStringLiteral("%1.%2=%3").arg(widget->objectName(), name, value.toString()));
            widget->setProperty(name.toUtf8().constData(), value);
        });
        return writes;
    }

    test::TestPlatform t;
    std::unique_ptr<qt::QuenArchiveWidget> firstWidget = std::make_unique<qt::QuenArchiveWidget>(t.platform);
    std::unique_ptr<qt::QuenArchiveWidget> secondWidget = std::make_unique<qt::QuenArchiveWidget>(t.platform);
    std::unique_ptr<DesignStandIns> standIns;
    std::unique_ptr<qt::PropertyPageDialog> dialog;
};

TEST_F(DesignStandInsTest, AnApplyReachesTheWidgetsOnlyThroughTheFormInThePagesOrder)
{
    const QString archive = QString::fromStdString(test::testData("control/three-members.zip").string());
    firstWidget->setArchive(archive);
    firstWidget->setView("2-List");
    firstWidget->setControlVisible(true);
    secondWidget->setView("0");
    const auto page = open();
    // The page shows the first widget's values; loading them wrote nothing.
    EXPECT_EQ(page.child<QLineEdit>("txtarchive")->text(), archive.toUpper());
    EXPECT_EQ(page.child<QComboBox>("cmbview")->currentText(), "2-List");
    EXPECT_TRUE(page.child<QCheckBox>("chkVisible")->isChecked());
    EXPECT_TRUE(passWritesOn().empty());

    page.chooseView(1);
    page.toggle("chkVisible");
    page.press(Button::Apply);
    // The page wrote to the stand-ins; the widgets wait for the form.
    EXPECT_EQ(firstWidget->view(), "2-List");
    EXPECT_TRUE(firstWidget->controlVisible());

    EXPECT_EQ(passWritesOn(), (QStringList{"first.Visible=false", "first.Enabled=true", "first.Archive=" + archive.toUpper(),
                                           "first.View=1", "second.View=1"}));
    EXPECT_EQ(firstWidget->view(), "1");
    EXPECT_EQ(secondWidget->view(), "1");
    EXPECT_FALSE(firstWidget->controlVisible());
    EXPECT_TRUE(passWritesOn().empty()) << "each write is passed on once";
}

TEST_F(DesignStandInsTest, AFailedApplyPassesOnWhatItWroteAndAGoneWidgetIsPassedOver)
{
    const auto page = open();
    page.typeArchive("/nowhere/missing.zip");
    page.chooseView(0);
    page.press(Button::Apply);
    ASSERT_NE(page.error(), nullptr);
    // The archive failed to open but keeps its path, on the widget as on the stand-in; no view.
    EXPECT_EQ(passWritesOn(), (QStringList{"first.Visible=false", "first.Enabled=true", "first.Archive=/NOWHERE/MISSING.ZIP"}));
    EXPECT_EQ(firstWidget->lastError().number, 75);

    secondWidget.reset();
    page.typeArchive(" ");
    page.press(Button::Apply);
    EXPECT_EQ(passWritesOn(), (QStringList{"first.Visible=false", "first.Enabled=true", "first.Archive= ", "first.View=0"}));
}

} // namespace
} // namespace quenarch::designer_plugin
