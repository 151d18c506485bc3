#include "quenarch/listing/invalid_row.h"

#include "quenarch/listing/list_view.h"

namespace quenarch {

void AddInvalidArchiveRow(ListView& list, std::string_view shortDateFormat, const Locale& locale)
{
    const std::size_t n = list.add();
    list.setText(n, invalidArchiveText);
    list.setSmallIcon(n, "error");
    list.setIcon(n, "error");
    list.setSubItem(n, SizeColumn, "0Kb");
    list.setSubItem(n, PackedColumn, "0Kb");
    list.setSubItem(n, TypeColumn, " ");
    list.setSubItem(n, ModifiedColumn, " ");
    const AutomationDate lastDay = makeDate(2099, 12, 31);
    list.setSubItem(n, DateColumn, shortDateFormat.empty() ? locale.generalDate(lastDay) : locale.formatDatePicture(lastDay, shortDateFormat));
}

} // namespace quenarch
