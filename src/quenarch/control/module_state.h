#pragma once

#include <cstdint>
#include <string>

namespace quenarch {

// State shared by every control on one thread: the cursor, what the last open left behind, the
// colour depth and the regional texts. One copy per thread, as every control of a form lives on
// its user-interface thread.
struct ModuleState {
    std::int32_t CurrentRow = 0;       // 1-based current row; 0 before the first move
    std::string LastArchivePath;       // the text last assigned to Archive on any control
    std::string ArchiveComment;        // comment of the archive last read
    std::string ArchiveTypeText;       // type text of the archive last read
    std::int32_t ScreenColorDepth = 0; // bits per pixel, 0 until measured
    std::string ShortDateFormat;
    std::string DateSeparator;
    std::string TimeSeparator;
};

ModuleState& moduleState();

} // namespace quenarch
