#include "designer_plugin/quen_archive_plugin.h"

#include "designer_plugin/quen_archive_task_menu.h"
#include "quenarch/listing/builtin_pictures.h"
#include "quenarch/qt/conversions.h"
#include "quenarch/qt/quen_archive_widget.h"

#include <QIcon>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

namespace quenarch::designer_plugin {
namespace {

// The control's design size, 4965 x 3060 twips, at Designer's 96 dots per inch.
constexpr int designWidthPixels = 4965 * 96 / 1440;
constexpr int designHeightPixels = 3060 * 96 / 1440;

// A property's tooltip as the text of an XML element. As rich text, the property editor wraps it
// instead of showing one long line.
QString toolTipXml(const QString& text) { return (QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>")).toHtmlEscaped(); }

} // namespace

QuenArchivePlugin::QuenArchivePlugin(QObject* parent) : QObject(parent) {}

QString QuenArchivePlugin::name() const { return QStringLiteral("quenarch::qt::QuenArchiveWidget"); }

QString QuenArchivePlugin::group() const { return QStringLiteral("Quen Archive"); }

// The widget box lists the control by its display name; its tooltip names the class.
QString QuenArchivePlugin::toolTip() const
{
    return tr("Quen Archive (%1): lists the members of an archive").arg(name());
}

QString QuenArchivePlugin::whatsThis() const
{
    return tr("Lists the members of a ZIP, ARJ, LZH, ARC, RAR or CAB archive with their sizes, file types and dates. "
              "Set Archive to the archive's path; the task menu's Properties... picks it with a file browser.");
}

QString QuenArchivePlugin::includeFile() const { return QStringLiteral("<quenarch/qt/quen_archive_widget.h>"); }

QIcon QuenArchivePlugin::icon() const { return QIcon(qt::pixmapFromPicture(BuiltinPictures::instance().defaultIcon)); }

bool QuenArchivePlugin::isContainer() const { return false; }

QWidget* QuenArchivePlugin::createWidget(QWidget* parent) { return new qt::QuenArchiveWidget(parent); }

bool QuenArchivePlugin::isInitialized() const { return initialized_; }

void QuenArchivePlugin::initialize(QDesignerFormEditorInterface* core)
{
    if (initialized_) return;
    QExtensionManager* manager = core->extensionManager();
    manager->registerExtensions(new QuenArchiveTaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
    initialized_ = true;
}

// A new control is laid out at its design size, with the persisted properties at the values a
// new control writes. The widget box shows it as "Quen Archive". Archive is a path: it is
// edited on one line and stored as it is, never marked for translation. The control's own
// Enabled and Visible sit beside QWidget's enabled and visible; their tooltips tell them apart.
QString QuenArchivePlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++" displayname="Quen Archive">
 <widget class="%1" name="quenArchive">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>%2</width><height>%3</height></rect>
  </property>
  <property name="Enabled"><bool>true</bool></property>
  <property name="Visible"><bool>true</bool></property>
  <property name="View"><string>3</string></property>
 </widget>
 <customwidgets>
  <customwidget>
   <class>%1</class>
   <propertyspecifications>
    <stringpropertyspecification name="Archive" notr="true" type="singleline"/>
    <tooltip name="Archive">%4</tooltip>
    <tooltip name="View">%5</tooltip>
    <tooltip name="Enabled">%6</tooltip>
    <tooltip name="Visible">%7</tooltip>
   </propertyspecifications>
  </customwidget>
 </customwidgets>
</ui>
)")
        .arg(name())
        .arg(designWidthPixels)
        .arg(designHeightPixels)
        .arg(toolTipXml(tr("The path of the archive to list. The form keeps it as typed; the control opens it as soon as it is set.")),
             toolTipXml(tr("How the members are shown: large icons, small icons, a list, or details in columns.")),
             toolTipXml(tr("The control's own Enabled, kept in the form: it enables the whole control, as QWidget's enabled does.")),
             toolTipXml(tr("The control's own Visible, kept in the form: it hides the list but not the control, unlike QWidget's visible.")));
}

} // namespace quenarch::designer_plugin
