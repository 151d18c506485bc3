#include "designer_plugin/design_stand_ins.h"

#include "quenarch/control/host.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/qt/quen_archive_widget.h"

namespace quenarch::designer_plugin {

namespace {

// A property of the page's four as the control holds it.
QVariant valueOf(const QuenArchive& control, std::string_view name)
{
    const Locale& locale = *control.platform().locale;
    if (name == "Visible") return control.Visible();
    if (name == "Enabled") return control.Enabled();
    if (name == "Archive") return QString::fromStdString(toText(control.Archive(), locale));
    if (name == "View") return QString::fromStdString(toText(control.View(), locale));
    return {};
}

} // namespace

// Records which stand-in had which property written, in order, with the value written: the
// control tells of a new Archive before opening it, so the path is taken as the page wrote it,
// not as the opening stores it (upper-cased). The rest is a quiet surface.
class DesignStandIns::RecordingHost final : public Host {
public:
    RecordingHost(std::vector<Write>& log, std::size_t index) : log_(log), index_(index) {}

    void watch(const QuenArchive& control) { control_ = &control; }

    void propertyChanged(std::string_view name) override
    {
        const QVariant value = control_ != nullptr ? valueOf(*control_, name) : QVariant();
        if (value.isValid()) log_.push_back({index_, QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), value});
    }
    void raiseEvent(EventId, std::span<Variant>) override {}
    float scaleX(float twips) const override { return twips; }
    float scaleY(float twips) const override { return twips; }
    void processMessages() override {}
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    std::int32_t scaleWidth() const override { return 0; }
    std::int32_t scaleHeight() const override { return 0; }
    void setFocusToList() override {}
    void showAbout() override {}

private:
    std::vector<Write>& log_;
    std::size_t index_;
    const QuenArchive* control_ = nullptr;
    bool enabled_ = true;
};

DesignStandIns::DesignStandIns(const QList<qt::QuenArchiveWidget*>& widgets)
{
    for (qt::QuenArchiveWidget* widget : widgets) {
        const QuenArchive& original = widget->control();
        StandIn standIn{widget, std::make_unique<RecordingHost>(writes_, standIns_.size()), nullptr, {}, {}};
        standIn.control = std::make_unique<QuenArchive>(*standIn.host, original.platform());
        standIn.host->watch(*standIn.control);
        QuenArchive& control = *standIn.control;
        control.LetEnabled(original.Enabled());
        control.LetVisible(original.Visible());
        control.LetView(original.View());
        // The page reads the archive of the first control only; opening it is needless for the rest.
        if (standIns_.empty()) {
            standIn.givenArchive = widget->archive();
            try {
                control.LetArchive(Variant(standIn.givenArchive.toStdString()));
            } catch (const AutomationError&) {
                // The path stays even when the file is gone: the widget shows it the same way.
            }
            standIn.shownArchive = valueOf(control, "Archive").toString();
        }
        standIns_.push_back(std::move(standIn));
    }
    writes_.clear();
}

DesignStandIns::~DesignStandIns() = default;

std::vector<QuenArchive*> DesignStandIns::controls() const
{
    std::vector<QuenArchive*> controls;
    controls.reserve(standIns_.size());
    for (const StandIn& standIn : standIns_) controls.push_back(standIn.control.get());
    return controls;
}

void DesignStandIns::passWritesOn(const PropertyWriter& write)
{
    const auto writes = std::exchange(writes_, {});
    for (const Write& done : writes) {
        const StandIn& standIn = standIns_[done.standIn];
        if (!standIn.widget) continue;
        const bool archiveUnchanged = done.name == u"Archive" && !standIn.shownArchive.isEmpty() && done.value.toString() == standIn.shownArchive;
        write(standIn.widget, done.name, archiveUnchanged ? QVariant(standIn.givenArchive) : done.value);
    }
}

} // namespace quenarch::designer_plugin
