#include "column_sizer.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>
#include <utility>

namespace quenarch::view {
namespace {

// The widest a column is fitted, in average characters; a longer text is cut and shows in a tooltip.
constexpr int widestFit = 48;

// The last column shown: it stretches, so its width is never the user's.
int lastShownSection(const QHeaderView& header)
{
    for (int section = header.count() - 1; section >= 0; --section)
        if (!header.isSectionHidden(section)) return section;
    return -1;
}

} // namespace

ColumnSizer::ColumnSizer(QTreeView& view, QObject* parent) : QObject(parent), view_(view)
{
    QHeaderView* header = view_.header();
    header->setStretchLastSection(true);
    header->viewport()->installEventFilter(this);
    connect(header, &QHeaderView::sectionResized, this, [this, header](int section, int, int width) {
        if (!userResizing_ || section == lastShownSection(*header)) return;
        while (userWidths_.size() <= section) userWidths_.append(-1);
        userWidths_[section] = width;
    });
}

void ColumnSizer::setUserWidths(const QList<int>& widths)
{
    userWidths_ = widths;
    fit();
}

void ColumnSizer::fitAll()
{
    userWidths_.clear();
    fit();
}

void ColumnSizer::fit()
{
    QHeaderView* header = view_.header();
    const QAbstractItemModel* model = view_.model();
    if (model == nullptr) return;
    const std::vector<int> rows = sampleRows(model->rowCount());
    const bool wasResizing = std::exchange(userResizing_, false);
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column)) continue;
        const int userWidth = userWidths_.value(column, -1);
        header->resizeSection(column, userWidth > 0 ? userWidth : contentWidth(column, rows));
    }
    userResizing_ = wasResizing;
}

int ColumnSizer::contentWidth(int column, const std::vector<int>& rows) const
{
    const QAbstractItemModel& model = *view_.model();
    const int headerWidth = view_.header()->sectionSizeHint(column);
    int width = 0;
    for (const int row : rows) width = std::max(width, view_.sizeHintForIndex(model.index(row, column)).width());
    return std::max(headerWidth, std::min(width, widestFit * view_.fontMetrics().averageCharWidth()));
}

std::vector<int> ColumnSizer::sampleRows(int rowCount, int limit)
{
    std::vector<int> rows;
    if (rowCount <= 0 || limit <= 0) return rows;
    if (rowCount <= limit) {
        for (int row = 0; row < rowCount; ++row) rows.push_back(row);
        return rows;
    }
    const int head = limit / 2;
    const int spread = limit - head;
    for (int row = 0; row < head; ++row) rows.push_back(row);
    // The remainder in equal steps, ending on the last row.
    const long long remainder = rowCount - head;
    for (int step = 1; step <= spread; ++step) rows.push_back(head + static_cast<int>(step * remainder / spread) - 1);
    return rows;
}

bool ColumnSizer::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        userResizing_ = true;
        break;
    case QEvent::MouseButtonRelease:
        userResizing_ = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quenarch::view
