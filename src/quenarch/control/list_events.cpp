#include "quenarch/control/module_state.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/base/automation_error.h"

#include <array>
#include <limits>
#include <new>

namespace quenarch {

// The row number an ItemClick event carries when the row's number does not fit its 16 bits.
// The clicked row is still made current with its full number, so the item queries read it.
inline constexpr std::int16_t rowBeyondEventRange = -1;

void QuenArchive::listClick()
try {
    host_.raiseEvent(EventId::Click, {});
    showCurrentRowPicture();
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::listDblClick()
try {
    host_.raiseEvent(EventId::DblClick, {});
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::raiseMouseEvent(EventId id, std::int16_t& button, std::int16_t& shift, float x, float y)
try {
    const float containerX = host_.scaleX(static_cast<float>(fileview_.left()) + x);
    const float containerY = host_.scaleY(static_cast<float>(fileview_.top()) + y);
    std::array<Variant, 4> arguments{Variant(button), Variant(shift), Variant(containerX), Variant(containerY)};
    host_.raiseEvent(id, arguments);
    // Button and shift travel by reference: the list's own variables take what the handler left.
    if (const auto* value = arguments[0].get<std::int16_t>()) button = *value;
    if (const auto* value = arguments[1].get<std::int16_t>()) shift = *value;
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::listMouseDown(std::int16_t& button, std::int16_t& shift, float x, float y)
{
    raiseMouseEvent(EventId::MouseDown, button, shift, x, y);
}

void QuenArchive::listMouseMove(std::int16_t& button, std::int16_t& shift, float x, float y)
{
    raiseMouseEvent(EventId::MouseMove, button, shift, x, y);
}

void QuenArchive::listMouseUp(std::int16_t& button, std::int16_t& shift, float x, float y)
{
    raiseMouseEvent(EventId::MouseUp, button, shift, x, y);
}

void QuenArchive::listItemClick(std::size_t row)
try {
    const ListRow item = fileview_.row(row);
    const std::int16_t eventRow = row <= static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()) ? static_cast<std::int16_t>(row) : rowBeyondEventRange;
    moduleState().CurrentRow = static_cast<std::int32_t>(std::min<std::size_t>(row, std::numeric_limits<std::int32_t>::max()));
    // A row without a readable date carries date 0, as the item queries give it.
    const AutomationDate modified = item.moment(DateColumn).value_or(0);
    std::array<Variant, 6> arguments{Variant(eventRow),
                                     Variant(item.text(NameColumn)),
                                     Variant(item.text(SizeColumn)),
                                     Variant(item.text(PackedColumn)),
                                     Variant(item.text(TypeColumn)),
                                     Variant::date(modified)};
    try {
        picture_ = imageList4_.picture(item.icon());
    } catch (const AutomationError&) {
        // A row whose icon key is not in the list keeps the previous picture.
    }
    host_.raiseEvent(EventId::ItemClick, arguments);
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::listColumnClick(std::int32_t column)
try {
    // The direction flips on every header click, whichever header it is.
    fileview_.setSortSettings(column - 1, fileview_.sortOrder() == 1 ? 0 : 1, true);
    std::array<Variant, 1> arguments{Variant(static_cast<std::int16_t>(column))};
    host_.raiseEvent(EventId::ColumnClick, arguments);
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

} // namespace quenarch
