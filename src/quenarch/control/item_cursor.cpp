#include "quenarch/control/module_state.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/base/automation_error.h"

#include <limits>
#include <new>

namespace quenarch {
namespace {

constexpr std::int32_t moved = 0;
constexpr std::int32_t notMoved = -1;

// Runs the step that moves to a row: a row that cannot be selected, or memory running out,
// leaves the move undone.
template <typename Step>
std::int32_t moveBy(Step step)
{
    try {
        step();
        return moved;
    } catch (const AutomationError&) {
        return notMoved;
    } catch (const std::bad_alloc&) {
        return notMoved;
    }
}

} // namespace

void QuenArchive::selectRow(std::int32_t index)
{
    if (index < 1) throw errors::indexOutOfBounds();
    const auto row = static_cast<std::size_t>(index);
    fileview_.select(row);
    fileview_.ensureVisible(row);
}

std::int32_t QuenArchive::MoveFirst()
{
    return moveBy([this] {
        selectRow(1);
        moduleState().CurrentRow = 1;
        UpdateCurrentPicture();
    });
}

std::int32_t QuenArchive::MoveLast()
{
    return moveBy([this] {
        const auto count = static_cast<std::int32_t>(std::min<std::size_t>(fileview_.count(), std::numeric_limits<std::int32_t>::max()));
        selectRow(count);
        moduleState().CurrentRow = count;
        UpdateCurrentPicture();
    });
}

std::int32_t QuenArchive::MoveNext()
{
    std::int32_t& current = moduleState().CurrentRow;
    if (current == std::numeric_limits<std::int32_t>::max()) return notMoved;
    ++current;
    const auto count = static_cast<std::int64_t>(fileview_.count());
    if (current > count) {
        current = static_cast<std::int32_t>(count);
        return notMoved;
    }
    return moveBy([this, current] {
        selectRow(current);
        UpdateCurrentPicture();
    });
}

std::int32_t QuenArchive::MovePrevious()
{
    std::int32_t& current = moduleState().CurrentRow;
    if (current == std::numeric_limits<std::int32_t>::min()) return notMoved;
    --current;
    if (current == 0) {
        current = 1;
        return notMoved;
    }
    return moveBy([this, current] {
        selectRow(current);
        UpdateCurrentPicture();
    });
}

std::int32_t QuenArchive::currentRow() const { return moduleState().CurrentRow; }

void QuenArchive::showCurrentRowPicture()
{
    const std::int32_t current = moduleState().CurrentRow;
    if (current < 1) return;
    try {
        picture_ = imageList2_.picture(fileview_.row(static_cast<std::size_t>(current)).icon());
    } catch (const AutomationError&) {
        // The row is gone (the list was emptied or refilled with fewer rows): keep the picture.
    }
}

void QuenArchive::UpdateCurrentPicture()
{
    try {
        showCurrentRowPicture();
    } catch (const std::bad_alloc&) {
        // The picture stays as it was when memory runs out too.
    }
}

std::optional<ListRow> QuenArchive::currentRowForQuery()
{
    if (moduleState().CurrentRow == 0) MoveFirst();
    const std::int32_t current = moduleState().CurrentRow;
    if (current < 1 || static_cast<std::size_t>(current) > fileview_.count()) return std::nullopt;
    return fileview_.row(static_cast<std::size_t>(current));
}

std::string QuenArchive::currentText(std::size_t column, std::string_view fallback)
try {
    const std::optional<ListRow> row = currentRowForQuery();
    return row ? row->text(column) : std::string(fallback);
} catch (const std::bad_alloc&) {
    return std::string(fallback);
}

std::string QuenArchive::ItemFileName() { return currentText(NameColumn, ""); }

std::string QuenArchive::ItemUnCompressed() { return currentText(SizeColumn, ""); }

std::string QuenArchive::ItemCompressed() { return currentText(PackedColumn, ""); }

std::string QuenArchive::ItemFileType() { return currentText(TypeColumn, "<unknown>"); }

AutomationDate QuenArchive::ItemDate()
try {
    const std::optional<ListRow> row = currentRowForQuery();
    const std::optional<AutomationDate> date = row ? row->moment(DateColumn) : std::nullopt;
    return date ? static_cast<AutomationDate>(dayNumber(*date)) : 0;
} catch (const std::bad_alloc&) {
    return 0;
}

AutomationDate QuenArchive::ItemTime()
try {
    const std::optional<ListRow> row = currentRowForQuery();
    const std::optional<AutomationDate> date = row ? row->moment(DateColumn) : std::nullopt;
    return date ? dateFromDayAndSecond(0, secondOfDay(*date)) : 0;
} catch (const std::bad_alloc&) {
    return 0;
}

std::string QuenArchive::ItemCRC() { return currentText(CrcColumn, ""); }

Variant QuenArchive::ListCount() const
{
    return Variant(static_cast<std::int32_t>(std::min<std::size_t>(fileview_.count(), std::numeric_limits<std::int32_t>::max())));
}

Variant QuenArchive::Clear()
try {
    fileview_.clear();
    return Variant();
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

std::string QuenArchive::FileComment() const
try {
    return moduleState().ArchiveComment;
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

std::string QuenArchive::ArchiveType() const
try {
    return moduleState().ArchiveTypeText;
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

std::string QuenArchive::filename() const
try {
    const std::string& path = moduleState().LastArchivePath;
    if (path.find_first_not_of(' ') == std::string::npos) return "<None>";
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::Refresh()
try {
    fileview_.refresh();
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::SetFocus()
{
    try {
        host_.setFocusToList();
    } catch (...) {
        // Focus is a courtesy; a host that cannot give it has nothing to report.
    }
}

void QuenArchive::LetPicture(const quenarch::Picture&)
try {
    host_.propertyChanged("Picture");
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

} // namespace quenarch
