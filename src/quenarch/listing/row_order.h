#pragma once

#include "quenarch/listing/list_view.h"

#include <cstddef>
#include <vector>

namespace quenarch {

// The order of the list's rows when sorted by a column: element i is the 0-based position of
// the row that comes i-th. Cells that have a value of the column's kind (a number, a moment)
// come first, ordered by it; the others follow, ordered by their texts without regard to letter
// case. Rows that compare equal keep their order; descending reverses the comparison, not the
// order of equal rows.
std::vector<std::size_t> sortedPositions(const ListView& list, std::size_t column, SortKind kind, bool descending);

} // namespace quenarch
