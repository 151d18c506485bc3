#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace quenarch::qt {
class QuenArchiveWidget;
}

namespace quenarch::view {

// Narrows the rows the control shows to those whose name contains a text, without regard to
// letter case. Rows that do not match are hidden in the view, not taken out of the list, so the
// control's row numbers, cursor and events stay as they are. The filter follows the control:
// it is applied again when rows are loaded or sorted and when the view mode changes.
class NameFilter final : public QObject {
    Q_OBJECT

public:
    explicit NameFilter(qt::QuenArchiveWidget& control, QObject* parent = nullptr);

    // Hiding rows costs about 2.5 microseconds a row: in a list longer than this the filter is
    // applied once typing pauses rather than at every key.
    static constexpr int rowsFilteredAtOnce = 20'000;

    const QString& text() const { return text_; }
    void setText(const QString& text);
    // Applies the filter now, for instance right after rows have been loaded.
    void apply();
    bool isActive() const { return !text_.isEmpty(); }
    // The rows shown and all rows, as last applied.
    int shownRows() const { return shownRows_; }
    int totalRows() const { return totalRows_; }
    // Whether the view shows a model row.
    bool isShown(int row) const;

signals:
    // The filter has been applied: the counts may have changed.
    void applied();

private:
    // The views start over after a reset or a change of view; the filter is applied once they
    // have, unless it has been applied meanwhile.
    void applyLater();
    void applyIfPending();

    qt::QuenArchiveWidget& control_;
    QString text_;
    int shownRows_ = 0;
    int totalRows_ = 0;
    // The row count when the filter was last applied: while every row was shown then, none is hidden.
    int previousTotal_ = 0;
    bool applyPending_ = false;
    QTimer typingPause_;
};

} // namespace quenarch::view
