#pragma once

#include "quenarch/listing/image_list.h"
#include "quenarch/listing/list_view.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <cstdint>
#include <string>
#include <unordered_map>

namespace quenarch::qt {

// The control's list as a Qt table model: one model row per list row (model row n is list row
// n + 1), one column per list column. It follows the list's rows as the list's row observer,
// so it must be the only one while it lives, and brackets each change as Qt models do: the
// list announces a change before making it (beginResetModel, beginInsertRows,
// layoutAboutToBeChanged) and again once it is made (endResetModel, endInsertRows,
// layoutChanged, with persistent indexes moved along with their rows).
//
// The Name cell's tooltip is the member's full stored path, which PathRole gives too.
//
// data() is a lookup: texts are written per call, icons are converted once per image key and
// kept until the image list changes (its revision). Rows are shown with the large icons
// (ImageList4, 32 x 32) in icon view and the small ones (ImageList2, 16 x 16) elsewhere, the
// image lists' mask colour made transparent.
class ListModel final : public QAbstractTableModel, private ListRowObserver {
    Q_OBJECT

public:
    // The member's full stored path, in the Name column; none for a row that is no member's.
    static constexpr int PathRole = Qt::UserRole + 1;

    explicit ListModel(ListView& list, QObject* parent = nullptr);
    ~ListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const ListView& list() const { return list_; }
    // The model index (column 0) of a 1-based list row; invalid outside the rows.
    QModelIndex indexOfRow(std::size_t row) const;
    // The 1-based list row of a model index; 0 for an invalid index.
    static std::size_t rowOfIndex(const QModelIndex& index);

    // The icon an image list holds under a key, as drawn: null when there is none.
    QIcon icon(const ImageList* images, std::string_view key) const;

private:
    struct IconCache {
        const ImageList* images = nullptr;
        std::uint64_t revision = 0;
        std::unordered_map<std::string, QIcon> icons;
    };

    // ListRowObserver
    void rowsAboutToBeReset() override { beginResetModel(); }
    void rowsReset() override { endResetModel(); }
    void rowsAboutToBeAppended(std::size_t first, std::size_t count) override;
    void rowsAppended() override { endInsertRows(); }
    void rowsAboutToBeReordered() override;
    void rowsReordered(std::span<const std::size_t> previousPositions) override;
    void rowChanged(std::size_t index) override;
    void iconsChanged() override;

    ListView& list_;
    mutable IconCache largeIcons_;
    mutable IconCache smallIcons_;
};

} // namespace quenarch::qt
