#pragma once

#include <string>
#include <string_view>

namespace quenarch {

// Texts in the single-byte code pages of the DOS and Windows era, as UTF-8. Both keep ASCII as
// it is and differ in their upper halves.

// Windows-1252, the ANSI code page of Western Windows.
std::string decodeWindows1252(std::string_view bytes);

// IBM PC code page 437, the MS-DOS code page that ZIP, ARJ and ARC tools wrote names in: accented
// letters, box drawing, Greek letters and mathematical signs.
std::string decodeIbm437(std::string_view bytes);

} // namespace quenarch
