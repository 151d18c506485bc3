#pragma once

#include <cstddef>
#include <span>

namespace quenarch {

// What an item model follows to stay in step with the list's rows. Every change comes between
// an "about to" notice and its "done" notice, the rows as they were before the first and as
// they are after the second. Rows are 1-based.
class ListRowObserver {
public:
    virtual ~ListRowObserver() = default;
    // Every row may go or change, and any number may come.
    virtual void rowsAboutToBeReset() {}
    virtual void rowsReset() {}
    // Rows first to first + count - 1 are to be appended at the end.
    virtual void rowsAboutToBeAppended(std::size_t /*first*/, std::size_t /*count*/) {}
    virtual void rowsAppended() {}
    // The rows are to be put in another order. previousPositions[i] is the 0-based position,
    // before the change, of the row that now stands at position i (0-based).
    virtual void rowsAboutToBeReordered() {}
    virtual void rowsReordered(std::span<const std::size_t> /*previousPositions*/) {}
    // A row's texts or icons changed.
    virtual void rowChanged(std::size_t /*index*/) {}
    // Every row's icons are to be drawn from another picture: the image lists were bound or
    // changed, or the view mode chose the other list.
    virtual void iconsChanged() {}
};

// What a toolkit view follows to present the list: everything that is not the rows themselves.
class ListPresentationObserver {
public:
    virtual ~ListPresentationObserver() = default;
    // The row now selected; 0 for none.
    virtual void selectionChanged(std::size_t /*index*/) {}
    virtual void scrollRequested(std::size_t /*index*/) {}
    virtual void viewModeChanged() {}
    // Colours, font, enabled or visible flag.
    virtual void appearanceChanged() {}
    // Placement or size within the control.
    virtual void geometryChanged() {}
    // Sort key, direction or sorted flag.
    virtual void sortChanged() {}
    virtual void repaintRequested() {}
};

} // namespace quenarch
