#pragma once

#include <QObject>
#include <QPointer>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

class QAction;

namespace quenarch::qt {
class QuenArchiveWidget;
}

namespace quenarch::designer_plugin {

// The control's entries in the form editor's context menu: "Properties..." opens the property
// page over the form's selected controls, the About entry shows the About box.
class QuenArchiveTaskMenu final : public QObject, public QDesignerTaskMenuExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    QuenArchiveTaskMenu(qt::QuenArchiveWidget* widget, QObject* parent);

    QAction* preferredEditAction() const override;
    QList<QAction*> taskActions() const override;

private:
    void editProperties();

    QPointer<qt::QuenArchiveWidget> widget_;
    QAction* propertiesAction_;
    QAction* aboutAction_;
};

// Makes the task menu for the form editor's QuenArchiveWidgets.
class QuenArchiveTaskMenuFactory final : public QExtensionFactory {
    Q_OBJECT

public:
    explicit QuenArchiveTaskMenuFactory(QExtensionManager* parent);

protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};

} // namespace quenarch::designer_plugin
