#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <system_error>

namespace quenarch {

// A file opened for reading at any offset. Reading never faults: a file that shrinks after it
// was opened gives short reads, not a signal.
class RandomAccessFile {
public:
    virtual ~RandomAccessFile() = default;
    // The length of the file when it was opened.
    virtual std::uint64_t size() const = 0;
    // Copies bytes from the offset on into the buffer until it is full, the file ends or a read
    // fails, and returns how many it copied.
    virtual std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) = 0;
    // Where the file may hold bytes other than zeros from this offset on: from the end of the
    // hole of a sparse file that the offset lies in (the offset itself outside holes) to the
    // start of the next hole, so that a reader can pass holes over unread. A file that cannot
    // tell answers the offset and its end.
    struct DataStretch {
        std::uint64_t start;
        std::uint64_t end;
    };
    virtual DataStretch dataFrom(std::uint64_t offset) const { return {offset, size()}; }
};

// Opens a regular file, or a symbolic link to one, for reading. Anything else is refused before
// it is opened, so that nothing blocks on a FIFO or streams from a device: a directory with
// is_a_directory, a FIFO, socket or device with not_supported, a missing file or a dangling link
// with no_such_file_or_directory, a file the user may not read with permission_denied.
std::unique_ptr<RandomAccessFile> openRegularFile(const std::filesystem::path& path, std::error_code& error);

} // namespace quenarch
