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

} // namespace

QuenArchivePlugin::QuenArchivePlugin(QObject* parent) : QObject(parent) {}

QString QuenArchivePlugin::name() const { return QStringLiteral("quenarch::qt::QuenArchiveWidget"); }

QString QuenArchivePlugin::group() const { return QStringLiteral("Quen Archive"); }

QString QuenArchivePlugin::toolTip() const { return tr("Quen Archive: lists the members of an archive"); }

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
// new control writes.
QString QuenArchivePlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="quenarch::qt::QuenArchiveWidget" name="quenArchive">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>%1</width><height>%2</height></rect>
  </property>
  <property name="Enabled"><bool>true</bool></property>
  <property name="Visible"><bool>true</bool></property>
  <property name="View"><string>3</string></property>
 </widget>
</ui>
)")
        .arg(designWidthPixels)
        .arg(designHeightPixels);
}

} // namespace quenarch::designer_plugin
