#include "quenarch/qt/list_model.h"

#include "quenarch/qt/conversions.h"

#include <limits>
#include <vector>

namespace quenarch::qt {
namespace {

int modelRowCount(std::size_t count)
{
    return static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
}

QString textOf(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

ListModel::ListModel(ListView& list, QObject* parent) : QAbstractTableModel(parent), list_(list)
{
    list_.setRowObserver(this);
}

ListModel::~ListModel() { list_.setRowObserver(nullptr); }

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : modelRowCount(list_.count()); }

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(list_.columns().size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const ListRow row = list_.row(static_cast<std::size_t>(index.row()) + 1);
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole: {
        if (column >= listingColumnCount) return {};
        std::string scratch;
        return textOf(row.text(column, scratch));
    }
    case Qt::DecorationRole:
        if (column != 0) return {};
        if (list_.view() == ViewMode::Icon) return icon(list_.icons(), row.icon());
        return icon(list_.smallIcons(), row.smallIcon());
    case Qt::ToolTipRole:
    case PathRole: {
        // The name shows the last part of the member's path, case-converted; the path is as stored.
        if (column != NameColumn) return {};
        const std::string path = row.path();
        return path.empty() ? QVariant() : QVariant(textOf(path));
    }
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
    if (row < 1 || row > static_cast<std::size_t>(rowCount())) return {};
    return index(static_cast<int>(row - 1), 0);
}

std::size_t ListModel::rowOfIndex(const QModelIndex& index)
{
    return index.isValid() ? static_cast<std::size_t>(index.row()) + 1 : 0;
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

void ListModel::rowsAboutToBeAppended(std::size_t first, std::size_t count)
{
    const int firstRow = modelRowCount(first - 1);
    beginInsertRows({}, firstRow, modelRowCount(first - 1 + count) - 1);
}

void ListModel::rowsAboutToBeReordered()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListModel::rowsReordered(std::span<const std::size_t> previousPositions)
{
    // Persistent indexes (the views' selection and current row among them) follow their rows.
    const QModelIndexList persistent = persistentIndexList();
    if (!persistent.isEmpty()) {
        std::vector<int> newRowOf(previousPositions.size());
        for (std::size_t i = 0; i < previousPositions.size(); ++i) newRowOf[previousPositions[i]] = modelRowCount(i);
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const QModelIndex& index : persistent) {
            const auto row = static_cast<std::size_t>(index.row());
            moved.append(row < newRowOf.size() ? this->index(newRowOf[row], index.column()) : QModelIndex());
        }
        changePersistentIndexList(persistent, moved);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListModel::rowChanged(std::size_t index)
{
    const QModelIndex first = indexOfRow(index);
    if (!first.isValid()) return;
    emit dataChanged(first, this->index(first.row(), columnCount() - 1));
}

void ListModel::iconsChanged()
{
    if (rowCount() == 0) return;
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

} // namespace quenarch::qt
