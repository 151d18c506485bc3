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
// n + 1), one column per list column. It follows the list through the list's observer, so it
// must be the list's only observer while it lives.
//
// data() is a lookup: texts are converted to QString per call, icons are converted once per
// image key and kept until the image list changes (its revision). Rows are shown with the large
// icons (ImageList4, 32 x 32) in icon view and the small ones (ImageList2, 16 x 16) elsewhere,
// the image lists' mask colour made transparent.
//
// The list changes first and tells afterwards, so the model announces what has already
// happened: its row count is the count it last announced, and rows the list has not announced
// yet (during an update) or has already removed read as empty.
class ListModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ListModel(ListView& list, QObject* parent = nullptr);
    ~ListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const ListView& list() const { return list_; }
    // The model index (column 0) of a 1-based list row; invalid outside the announced rows.
    QModelIndex indexOfRow(std::size_t row) const;
    // The 1-based list row of a model index; 0 for an invalid index.
    static std::size_t rowOfIndex(const QModelIndex& index);

    // The icon an image list holds under a key, as drawn: null when there is none.
    QIcon icon(const ImageList* images, std::string_view key) const;

signals:
    // The list selected a row (a model row, -1 for none) or asked for one to be scrolled into view.
    void rowSelected(int row);
    void scrollToRowRequested(int row);
    void viewModeChanged();
    // Colours, font, enabled or visible flag.
    void appearanceChanged();
    void geometryChanged();
    void repaintRequested();
    // The rows were sorted: model rows now stand for other list rows.
    void rowsSorted();

private:
    struct IconCache {
        const ImageList* images = nullptr;
        std::uint64_t revision = 0;
        std::unordered_map<std::string, QIcon> icons;
    };

    // Hands the list's notices to the model.
    class ListFollower final : public ListViewObserver {
    public:
        explicit ListFollower(ListModel& model) : model_(model) {}
        void rowsReset() override { model_.resetRows(); }
        void rowsAppended(std::size_t first, std::size_t count) override { model_.appendRows(first, count); }
        void rowChanged(std::size_t index) override { model_.changeRow(index); }
        void rowsReordered() override { model_.reorderRows(); }
        void selectionChanged(std::size_t index) override { emit model_.rowSelected(model_.modelRow(index)); }
        void scrollRequested(std::size_t index) override { emit model_.scrollToRowRequested(model_.modelRow(index)); }
        void viewModeChanged() override;
        void appearanceChanged() override { emit model_.appearanceChanged(); }
        void geometryChanged() override { emit model_.geometryChanged(); }
        void imageListsChanged() override { model_.iconsChanged(); }
        void repaintRequested() override { emit model_.repaintRequested(); }

    private:
        ListModel& model_;
    };

    void resetRows();
    void appendRows(std::size_t first, std::size_t count);
    void changeRow(std::size_t index);
    void reorderRows();
    // Repaints every icon, for instance after the view mode chose the other image list.
    void iconsChanged();
    // The model row of a 1-based list row; -1 for none or a row not announced.
    int modelRow(std::size_t index) const;
    const ListRow* rowAt(int modelRow) const;

    ListView& list_;
    int announcedRows_ = 0;
    mutable IconCache largeIcons_;
    mutable IconCache smallIcons_;
    ListFollower follower_{*this};
};

} // namespace quenarch::qt
