#pragma once

#include <QList>
#include <QObject>

#include <vector>

class QTreeView;

namespace quenarch::view {

// Sizes the columns of the report view to their contents, the last one stretching over the
// space left. A column the user has sized by hand keeps that width until widths are fitted
// anew. Contents are measured on a bounded sample of rows, so that a huge archive opens as fast
// as a small one; a cell wider than its column shows its text in a tooltip.
class ColumnSizer final : public QObject {
    Q_OBJECT

public:
    // How many rows are measured at most.
    static constexpr int sampleSize = 200;

    explicit ColumnSizer(QTreeView& view, QObject* parent = nullptr);

    // Sizes every column not sized by hand to its contents, and the others to their widths.
    void fit();
    // Forgets the widths set by hand, then fits.
    void fitAll();

    // The widths set by hand, by column; -1 for a column sized to its contents.
    QList<int> userWidths() const { return userWidths_; }
    void setUserWidths(const QList<int>& widths);

    // The rows measured out of rowCount: the first half of the sample from the top, where the
    // list opens, and the rest spread evenly over the remainder, in ascending order.
    static std::vector<int> sampleRows(int rowCount, int limit = sampleSize);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int contentWidth(int column, const std::vector<int>& rows) const;

    QTreeView& view_;
    QList<int> userWidths_;
    // The user is dragging a section edge: resizes then are the user's.
    bool userResizing_ = false;
};

} // namespace quenarch::view
