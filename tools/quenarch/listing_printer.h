#pragma once

#include "piece_writer.h"
#include "quenarch/control/quen_archive.h"

namespace quenarch::lister {

// The rows of the control as its report view shows them (Name, Size, Packed, Type, Modified),
// in aligned columns, then one line with the row count, the archive type and the comment; in
// pieces, so that a listing of any length needs little memory beyond its rows.
void writeReport(const QuenArchive& control, const TextSink& write);

// One JSON object on one line: the Archive value, type, comment and every row with its texts,
// icon key, sizes as numbers where they are numbers, and the date and time as the control's
// item queries read them back. In pieces, as the report.
void writeJson(const QuenArchive& control, const TextSink& write);

} // namespace quenarch::lister
