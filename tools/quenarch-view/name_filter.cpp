#include "name_filter.h"

#include "quenarch/qt/list_model.h"
#include "quenarch/qt/quen_archive_widget.h"

#include <QListView>
#include <QTreeView>

namespace quenarch::view {

NameFilter::NameFilter(qt::QuenArchiveWidget& control, QObject* parent) : QObject(parent), control_(control)
{
    typingPause_.setSingleShot(true);
    typingPause_.setInterval(300);
    connect(&typingPause_, &QTimer::timeout, this, &NameFilter::apply);
    QAbstractItemModel* model = control_.model();
    connect(model, &QAbstractItemModel::modelReset, this, &NameFilter::applyLater);
    connect(model, &QAbstractItemModel::rowsInserted, this, &NameFilter::applyLater);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &NameFilter::applyLater);
    connect(model, &QAbstractItemModel::dataChanged, this, &NameFilter::applyLater);
    // Hidden rows are remembered by position: after a sort they must be chosen again.
    connect(model, &QAbstractItemModel::layoutChanged, this, &NameFilter::applyLater);
    connect(&control_, &qt::QuenArchiveWidget::viewChanged, this, &NameFilter::applyLater);
    apply();
}

void NameFilter::setText(const QString& text)
{
    if (text == text_) return;
    text_ = text;
    if (totalRows_ > rowsFilteredAtOnce)
        typingPause_.start();
    else
        apply();
}

bool NameFilter::isShown(int row) const
{
    const QAbstractItemView* view = control_.currentView();
    if (const auto* tree = qobject_cast<const QTreeView*>(view)) return !tree->isRowHidden(row, {});
    if (const auto* list = qobject_cast<const QListView*>(view)) return !list->isRowHidden(row);
    return true;
}

void NameFilter::applyLater()
{
    if (applyPending_) return;
    applyPending_ = true;
    QMetaObject::invokeMethod(this, &NameFilter::applyIfPending, Qt::QueuedConnection);
}

void NameFilter::applyIfPending()
{
    if (applyPending_) apply();
}

void NameFilter::apply()
{
    applyPending_ = false;
    typingPause_.stop();
    QAbstractItemView* view = control_.currentView();
    const QAbstractItemModel* model = view->model();
    auto* tree = qobject_cast<QTreeView*>(view);
    auto* list = qobject_cast<QListView*>(view);
    totalRows_ = model != nullptr ? model->rowCount() : 0;
    // Views start with every row shown: with no filter and none hidden there is nothing to do.
    if (text_.isEmpty() && shownRows_ == previousTotal_) {
        shownRows_ = previousTotal_ = totalRows_;
        emit applied();
        return;
    }
    shownRows_ = 0;
    for (int row = 0; row < totalRows_; ++row) {
        const bool shown = text_.isEmpty() || model->index(row, 0).data().toString().contains(text_, Qt::CaseInsensitive);
        shownRows_ += shown ? 1 : 0;
        if (tree != nullptr && tree->isRowHidden(row, {}) == shown) tree->setRowHidden(row, {}, !shown);
        if (list != nullptr && list->isRowHidden(row) == shown) list->setRowHidden(row, !shown);
    }
    previousTotal_ = totalRows_;
    emit applied();
}

} // namespace quenarch::view
