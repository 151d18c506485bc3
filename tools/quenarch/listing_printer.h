#pragma once

#include "piece_writer.h"
#include "quenarch/control/quen_archive.h"

#include <string_view>

namespace quenarch::lister {

// The rows of the control as its report view shows them (Name, Size, Packed, Type, Modified),
// in aligned columns, then one line with the row count, the archive type and the comment; in
// pieces, so that a listing of any length needs little memory beyond its rows.
void writeReport(const QuenArchive& control, const TextSink& write);

// Whether the control listed its archive as a valid archive of its kind, rather than showing the
// invalid-archive row.
bool listedAsValid(const QuenArchive& control);

// One JSON object on one line: the file as given, the Archive value, whether it listed as valid,
// type, comment and every row with its texts, full path, folder flag, icon key, sizes as numbers
// where they are numbers, and the date and time as the control's item queries read them back.
// In pieces, as the report. Every line is valid UTF-8 (see appendJsonField).
void writeJson(const QuenArchive& control, std::string_view file, const TextSink& write);

} // namespace quenarch::lister
