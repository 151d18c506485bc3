#pragma once

#include "quenarch/control/quen_archive.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace quenarch::qt {
class QuenArchiveWidget;
}

namespace quenarch::designer_plugin {

// Controls without a surface that stand in for the form's selected widgets while the property
// page edits them. The page writes to the stand-ins; what it wrote is then handed to the form,
// property by property and in the page's order, so that the form editor sets each value itself:
// it records the old and the new value for undo, marks the form modified and stores the
// property in the form file.
class DesignStandIns {
public:
    // Sets one property of one widget, as the form editor does.
    using PropertyWriter = std::function<void(qt::QuenArchiveWidget* widget, const QString& name, const QVariant& value)>;

    // Stand-ins with the page's four properties of the widgets, the first widget first.
    explicit DesignStandIns(const QList<qt::QuenArchiveWidget*>& widgets);
    ~DesignStandIns();
    DesignStandIns(const DesignStandIns&) = delete;
    DesignStandIns& operator=(const DesignStandIns&) = delete;

    // The stand-ins, in the widgets' order: the selection the property page works on.
    std::vector<QuenArchive*> controls() const;

    // Hands every property written to a stand-in since the last call to the writer, with the
    // value written, in the order of writing. A widget that has gone is passed over. The page
    // shows the first widget's Archive as the control reads it back, upper-cased; written back
    // unchanged, it is passed on as the widget was given it, so that the form keeps it as typed.
    void passWritesOn(const PropertyWriter& write);

private:
    class RecordingHost;

    struct StandIn {
        QPointer<qt::QuenArchiveWidget> widget;
        std::unique_ptr<RecordingHost> host;
        std::unique_ptr<QuenArchive> control;
        // The widget's Archive as it was given, and as the stand-in reads it back.
        QString givenArchive;
        QString shownArchive;
    };

    struct Write {
        std::size_t standIn;
        QString name;
        QVariant value;
    };

    std::vector<Write> writes_;
    std::vector<StandIn> standIns_;
};

} // namespace quenarch::designer_plugin
