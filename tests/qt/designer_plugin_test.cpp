#include <QAction>
#include <QIcon>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QWidget>
#include <QRegularExpression>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A form editor with nothing but an extension manager, enough for a plugin to register its
// extensions with.
class BareFormEditor final : public QDesignerFormEditorInterface {
public:
    BareFormEditor() { setExtensionManager(new QExtensionManager(this)); }
};

// The values of one attribute or element throughout a piece of XML.
QStringList valuesOf(const QString& xml, const QString& pattern)
{
    QStringList values;
    for (const QRegularExpressionMatch& match : QRegularExpression(pattern).globalMatch(xml)) values.append(match.captured(1));
    return values;
}

class DesignerPluginTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
        plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
        ASSERT_NE(plugin, nullptr);
    }

    QPluginLoader loader{QStringLiteral(QUENARCH_DESIGNER_PLUGIN)};
    QDesignerCustomWidgetInterface* plugin = nullptr;
};

TEST_F(DesignerPluginTest, OffersTheControlInItsOwnGroupOfTheWidgetBox)
{
    EXPECT_EQ(loader.metaData().value("IID").toString(), "org.qt-project.Qt.QDesignerCustomWidgetInterface");
    EXPECT_EQ(plugin->name(), "quenarch::qt::QuenArchiveWidget");
    EXPECT_EQ(plugin->group(), "Quen Archive");
    EXPECT_EQ(plugin->includeFile(), "qt/quen_archive_widget.h");
    EXPECT_FALSE(plugin->isContainer());
    EXPECT_FALSE(plugin->toolTip().isEmpty());
    EXPECT_FALSE(plugin->whatsThis().isEmpty());
    EXPECT_TRUE(plugin->icon().availableSizes().contains(QSize(32, 32)));
}

TEST_F(DesignerPluginTest, MakesTheWidgetThatItsDomXmlDescribes)
{
    const QString xml = plugin->domXml();
    EXPECT_EQ(valuesOf(xml, R"re(<widget class="([^"]+)")re"), QStringList{plugin->name()});
    // 4965 x 3060 twips at 96 dots per inch
    EXPECT_EQ(valuesOf(xml, "<width>(\\d+)</width>"), QStringList{"331"});
    EXPECT_EQ(valuesOf(xml, "<height>(\\d+)</height>"), QStringList{"204"});

    QWidget form;
    QWidget* widget = plugin->createWidget(&form);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &form);
    const QMetaObject* meta = widget->metaObject();
    EXPECT_EQ(QString::fromLatin1(meta->className()), plugin->name());
    for (const QString& name : valuesOf(xml, R"re(<property name="([^"]+)")re")) EXPECT_GE(meta->indexOfProperty(name.toLatin1().constData()), 0) << name.toStdString();

    // The design-time properties are in the property editor and go to the form file, the archive
    // path too, so that the form shows its listing when it is loaded.
    for (const char* name : {"BackColor", "ForeColor", "Font", "Enabled", "Visible", "View", "Archive"}) {
        const QMetaProperty property = meta->property(meta->indexOfProperty(name));
        ASSERT_TRUE(property.isValid()) << name;
        EXPECT_TRUE(property.isDesignable() && property.isWritable()) << name;
        EXPECT_TRUE(property.isStored()) << name;
    }
}

TEST_F(DesignerPluginTest, GivesTheWidgetATaskMenuWithThePropertyPageAndTheAboutBox)
{
    BareFormEditor core;
    ASSERT_FALSE(plugin->isInitialized());
    plugin->initialize(&core);
    EXPECT_TRUE(plugin->isInitialized());

    std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), widget.get());
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (const QAction* action : menu->taskActions()) texts.append(action->text());
    EXPECT_EQ(texts, (QStringList{"Properties...", "About"}));
    EXPECT_EQ(menu->preferredEditAction()->text(), "Properties...");

    // Other widgets get no such menu.
    QWidget other;
    EXPECT_EQ(qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), &other), nullptr);
}

} // namespace
