#include "designer_plugin/quen_archive_task_menu.h"

#include "designer_plugin/design_stand_ins.h"
#include "quenarch/dialogs/about_box.h"
#include "quenarch/qt/property_page_dialog.h"
#include "quenarch/qt/quen_archive_widget.h"

#include <QAction>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

namespace quenarch::designer_plugin {
namespace {

// The form's selected controls, the one whose menu was opened first.
QList<qt::QuenArchiveWidget*> selectedControls(qt::QuenArchiveWidget* clicked, QDesignerFormWindowInterface* form)
{
    QList<qt::QuenArchiveWidget*> controls{clicked};
    QDesignerFormWindowCursorInterface* cursor = form->cursor();
    for (int index = 0; index < cursor->selectedWidgetCount(); ++index) {
        auto* control = qobject_cast<qt::QuenArchiveWidget*>(cursor->selectedWidget(index));
        if (control && !controls.contains(control)) controls.append(control);
    }
    return controls;
}

} // namespace

QuenArchiveTaskMenu::QuenArchiveTaskMenu(qt::QuenArchiveWidget* widget, QObject* parent)
    : QObject(parent), widget_(widget), propertiesAction_(new QAction(tr("Properties..."), this)),
      // Worded as the About box's own title.
      aboutAction_(new QAction(QString::fromUtf8(AboutBoxContent::caption.data(), qsizetype(AboutBoxContent::caption.size())) + QStringLiteral("..."), this))
{
    connect(propertiesAction_, &QAction::triggered, this, &QuenArchiveTaskMenu::editProperties);
    connect(aboutAction_, &QAction::triggered, this, [this] {
        if (widget_) widget_->showAbout();
    });
}

QAction* QuenArchiveTaskMenu::preferredEditAction() const { return propertiesAction_; }

QList<QAction*> QuenArchiveTaskMenu::taskActions() const { return {propertiesAction_, aboutAction_}; }

// The page works on stand-ins of the selected controls; each apply passes what it wrote on to
// the form cursor, one undoable command for the lot. The cursor sets the property through the
// widget's property sheet, so the form editor updates its property editor, marks the property
// changed (it is saved in the form file), records the old value for undo and marks the form
// modified.
void QuenArchiveTaskMenu::editProperties()
{
    QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(widget_);
    if (!widget_ || !form) return;

    DesignStandIns standIns(selectedControls(widget_, form));
    qt::PropertyPageDialog dialog([&standIns] { return standIns.controls(); }, form);
    connect(&dialog, &qt::PropertyPageDialog::applied, &dialog, [&standIns, form] {
        form->beginCommand(tr("Change the Quen Archive properties"));
        standIns.passWritesOn([form](qt::QuenArchiveWidget* widget, const QString& name, const QVariant& value) {
            form->cursor()->setWidgetProperty(widget, name, value);
        });
        form->endCommand();
    });
    dialog.exec();
}

QuenArchiveTaskMenuFactory::QuenArchiveTaskMenuFactory(QExtensionManager* parent) : QExtensionFactory(parent) {}

QObject* QuenArchiveTaskMenuFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const
{
    if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
    auto* widget = qobject_cast<qt::QuenArchiveWidget*>(object);
    return widget ? new QuenArchiveTaskMenu(widget, parent) : nullptr;
}

} // namespace quenarch::designer_plugin
