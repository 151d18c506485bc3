#include "quenarch/qt/list_model.h"

#include "quenarch/qt/conversions.h"

#include <limits>

namespace quenarch::qt {
namespace {

int clampedRowCount(std::size_t count)
{
    return static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
}

QString textOf(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

ListModel::ListModel(ListView& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), announcedRows_(clampedRowCount(list.count()))
{
    list_.setObserver(&follower_);
}

ListModel::~ListModel() { list_.setObserver(nullptr); }

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : announcedRows_; }

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(list_.columns().size());
}

const ListRow* ListModel::rowAt(int modelRow) const
{
    if (modelRow < 0 || modelRow >= announcedRows_ || static_cast<std::size_t>(modelRow) >= list_.count()) return nullptr;
    return &list_.row(static_cast<std::size_t>(modelRow) + 1);
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    const ListRow* row = rowAt(index.row());
    if (row == nullptr) return {};
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (column == 0) return textOf(row->text);
        if (column <= row->subItems.size()) return textOf(row->subItems[column - 1]);
        return {};
    case Qt::DecorationRole:
        if (column != 0) return {};
        if (list_.view() == ViewMode::Icon) return icon(list_.icons(), row->icon);
        return icon(list_.smallIcons(), row->smallIcon);
    case Qt::TextAlignmentRole:
        if (column < list_.columns().size() && list_.columns()[column].alignment == ColumnAlignment::Right)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || static_cast<std::size_t>(section) >= list_.columns().size()) return {};
    const ColumnHeader& column = list_.columns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return QString::fromStdString(column.caption);
    if (role == Qt::TextAlignmentRole && column.alignment == ColumnAlignment::Right)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

QModelIndex ListModel::indexOfRow(std::size_t row) const
{
    const int modelRowOfList = modelRow(row);
    return modelRowOfList < 0 ? QModelIndex() : index(modelRowOfList, 0);
}

std::size_t ListModel::rowOfIndex(const QModelIndex& index)
{
    return index.isValid() ? static_cast<std::size_t>(index.row()) + 1 : 0;
}

int ListModel::modelRow(std::size_t index) const
{
    if (index < 1 || index > static_cast<std::size_t>(announcedRows_)) return -1;
    return static_cast<int>(index - 1);
}

QIcon ListModel::icon(const ImageList* images, std::string_view key) const
{
    if (images == nullptr || key.empty()) return {};
    IconCache& cache = images == list_.icons() ? largeIcons_ : smallIcons_;
    if (cache.images != images || cache.revision != images->revision()) {
        cache.icons.clear();
        cache.images = images;
        cache.revision = images->revision();
    }
    if (const auto found = cache.icons.find(std::string(key)); found != cache.icons.end()) return found->second;

    QIcon drawn;
    if (const ListImage* image = images->find(key); image != nullptr && image->picture) {
        const Picture shown = images->useMaskColor() ? maskedPicture(*image->picture, images->maskColor()) : image->picture;
        drawn = QIcon(pixmapFromPicture(shown));
    }
    cache.icons.emplace(std::string(key), drawn);
    return drawn;
}

void ListModel::resetRows()
{
    beginResetModel();
    announcedRows_ = clampedRowCount(list_.count());
    endResetModel();
}

void ListModel::appendRows(std::size_t first, std::size_t count)
{
    if (count == 0) return;
    if (first != static_cast<std::size_t>(announcedRows_) + 1) {
        // Not a continuation of what the views know: start them over.
        resetRows();
        return;
    }
    const int last = clampedRowCount(first - 1 + count) - 1;
    if (last < announcedRows_) return;
    beginInsertRows({}, announcedRows_, last);
    announcedRows_ = last + 1;
    endInsertRows();
}

void ListModel::changeRow(std::size_t index)
{
    const int row = modelRow(index);
    if (row < 0) return;
    emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
}

void ListModel::reorderRows()
{
    // The rows are already in their new order; no persistent index follows a row, so the views
    // only need to read them again.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit rowsSorted();
}

void ListModel::iconsChanged()
{
    if (announcedRows_ == 0) return;
    emit dataChanged(index(0, 0), index(announcedRows_ - 1, 0), {Qt::DecorationRole});
}

void ListModel::ListFollower::viewModeChanged()
{
    emit model_.viewModeChanged();
    model_.iconsChanged();
}

} // namespace quenarch::qt
