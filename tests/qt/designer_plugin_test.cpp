#include "quenarch/qt/quen_archive_widget.h"

#include <QAbstractItemView>
#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <QWidget>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <QtUiTools/QUiLoader>

#include <gtest/gtest.h>

#include <memory>

namespace quenarch::designer_plugin {
namespace {

// A form editor with nothing but an extension manager, for the plugin to register its task menu with.
class BareFormEditor final : public QDesignerFormEditorInterface {
public:
    BareFormEditor() { setExtensionManager(new QExtensionManager(this)); }
};

// The built plugin, loaded as Designer loads it.
TEST(DesignerPluginTest, OffersTheControlItsDomXmlAndItsTaskMenu)
{
    QPluginLoader loader(QStringLiteral(QUENARCH_DESIGNER_PLUGIN));
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    ASSERT_NE(plugin, nullptr) << loader.errorString().toStdString();
    EXPECT_EQ(plugin->name(), "quenarch::qt::QuenArchiveWidget");
    EXPECT_EQ(plugin->group(), "Quen Archive");
    EXPECT_EQ(plugin->includeFile(), "<quenarch/qt/quen_archive_widget.h>");
    EXPECT_TRUE(plugin->toolTip().contains(plugin->name())) << "the widget box shows the display name, the tooltip the class";

    // A new control is laid out at 4965 x 3060 twips at 96 dots per inch, with properties the widget has.
    const QString xml = plugin->domXml();
    const auto valuesOf = [&xml](const char* pattern) {
        QStringList values;
        for (const QRegularExpressionMatch& match : QRegularExpression(QString::fromLatin1(pattern)).globalMatch(xml)) values.append(match.captured(1));
        return values;
    };
    EXPECT_EQ(valuesOf(R"re(<widget class="([^"]+)")re"), QStringList{plugin->name()});
    EXPECT_EQ(valuesOf("<width>(\\d+)</width>") + valuesOf("<height>(\\d+)</height>"), QStringList({"331", "204"}));
    BareFormEditor core;
    QWidget form;
    QWidget* widget = plugin->createWidget(&form);
    ASSERT_EQ(widget->parentWidget(), &form);
    EXPECT_EQ(QString::fromLatin1(widget->metaObject()->className()), plugin->name());
    for (const QString& name : valuesOf(R"re(<property name="([^"]+)")re"))
        EXPECT_GE(widget->metaObject()->indexOfProperty(name.toLatin1()), 0) << name.toStdString();
    // The design-time properties go to the form file, the archive path too, so that a loaded form shows its listing.
    for (const char* name : {"BackColor", "ForeColor", "Font", "Enabled", "Visible", "View", "Archive"}) {
        const QMetaProperty property = widget->metaObject()->property(widget->metaObject()->indexOfProperty(name));
        EXPECT_TRUE(property.isDesignable() && property.isWritable() && property.isStored()) << name;
    }

    plugin->initialize(&core);
    EXPECT_TRUE(plugin->isInitialized());
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), widget);
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (const QAction* action : menu->taskActions()) texts.append(action->text());
    EXPECT_EQ(texts, (QStringList{"Properties...", "About Quen Zip Archive Control..."}));
    EXPECT_EQ(menu->preferredEditAction(), menu->taskActions().value(0));
    EXPECT_EQ(qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), &form), nullptr) << "other widgets have no such menu";
}

// What the form editor reads from the widget's XML besides the widget: the name in the widget box,
// and how the property editor treats Archive, and what it says of the properties that sit beside
// QWidget's own enabled and visible.
TEST(DesignerPluginTest, NamesTheControlForPeopleAndDescribesItsProperties)
{
    QPluginLoader loader(QStringLiteral(QUENARCH_DESIGNER_PLUGIN));
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    ASSERT_NE(plugin, nullptr) << loader.errorString().toStdString();
    QString displayName, customClass;
    QMap<QString, QXmlStreamAttributes> stringProperties;
    QMap<QString, QString> toolTips;
    QXmlStreamReader xml(plugin->domXml());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QString name = attributes.value(QLatin1String("name")).toString();
        if (xml.name() == u"ui") displayName = attributes.value(QLatin1String("displayname")).toString();
        else if (xml.name() == u"class") customClass = xml.readElementText();
        else if (xml.name() == u"stringpropertyspecification") stringProperties.insert(name, attributes);
        else if (xml.name() == u"tooltip") toolTips.insert(name, xml.readElementText());
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(displayName, "Quen Archive");
    EXPECT_EQ(customClass, plugin->name());
    // A path: one line, stored as it is and never offered for translation.
    EXPECT_EQ(stringProperties.value("Archive").value(QLatin1String("notr")), u"true");
    EXPECT_EQ(stringProperties.value("Archive").value(QLatin1String("type")), u"singleline");
    for (const char* property : {"Enabled", "Visible"}) {
        const QString toolTip = toolTips.value(QString::fromLatin1(property));
        EXPECT_TRUE(Qt::mightBeRichText(toolTip)) << property << ": wrapped, not one long line";
        EXPECT_TRUE(toolTip.contains("QWidget's " + QString::fromLatin1(property).toLower())) << toolTip.toStdString();
    }
}

// Forms made through the plugin load with QUiLoader: View as one of its choices, or as the text
// forms held before it was one; Archive as it was typed. The widgets are the plugin's, of its own
// copy of the widget class: they are reached by their properties.
TEST(DesignerPluginTest, FormsLoadTheViewChoiceOrItsOldTextAndTheArchiveAsTyped)
{
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(QFileInfo(QStringLiteral(QUENARCH_DESIGNER_PLUGIN)).absolutePath());
    const QString demo = QDir::cleanPath(QStringLiteral(QUENARCH_SOURCE_DIR "/examples/Demo.Zip")); // the file is demo.zip
    const std::pair<QString, qt::QuenArchiveWidget::ViewChoice> cases[] = {
        {"<enum>quenarch::qt::QuenArchiveWidget::SmallIcon</enum>", qt::QuenArchiveWidget::SmallIcon},
        {"<enum>List</enum>", qt::QuenArchiveWidget::List},
        {"<string>0</string>", qt::QuenArchiveWidget::Icon},
        {"<string>2-List</string>", qt::QuenArchiveWidget::List},
        {"<string>x</string>", qt::QuenArchiveWidget::Icon},    // not a digit: as the control reads it
        {"<string>9</string>", qt::QuenArchiveWidget::Report},  // refused: the view stays
    };
    for (const auto& [view, choice] : cases) {
        QByteArray ui = QStringLiteral(R"(<ui version="4.0"><widget class="QWidget" name="form">
 <widget class="quenarch::qt::QuenArchiveWidget" name="quenArchive">
  <property name="View">%1</property>
  <property name="Archive"><string notr="true">%2</string></property>
 </widget></widget></ui>)").arg(view, demo).toUtf8();
        QBuffer file(&ui);
        const std::unique_ptr<QWidget> form(loader.load(&file));
        ASSERT_NE(form, nullptr) << loader.errorString().toStdString();
        const QWidget* control = form->findChild<QWidget*>(QStringLiteral("quenArchive"));
        ASSERT_NE(control, nullptr) << view.toStdString();
        EXPECT_EQ(control->property("View").toInt(), choice) << view.toStdString();
        EXPECT_EQ(control->property("Archive").toString(), demo);
        int rows = 0;
        for (const QAbstractItemView* list : control->findChildren<QAbstractItemView*>())
            if (list->model() != nullptr) rows = list->model()->rowCount();
        EXPECT_EQ(rows, 8);
    }
}

} // namespace
} // namespace quenarch::designer_plugin
