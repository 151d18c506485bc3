#pragma once

#include "quenarch/listing/list_view.h"
#include "quenarch/base/locale.h"

#include <string_view>

namespace quenarch {

// The text of the row shown for a file that is not an archive of its kind, which is also the
// archive type then reported.
inline constexpr std::string_view invalidArchiveText = "No valid archive";

// Appends the row that says the file is not a valid archive: sizes "0Kb", blank type and
// modification texts, the date 31 December 2099 formatted with the short date picture (the
// general date form while the picture is empty), and the "error" icons.
void AddInvalidArchiveRow(ListView& list, std::string_view shortDateFormat, const Locale& locale);

} // namespace quenarch
