// The file access of POSIX systems: pread on a descriptor, so that a file that shrinks under a
// reader only reads short.

#include "quenarch/platform/file_access.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace quenarch {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

class PosixFile final : public RandomAccessFile {
public:
    PosixFile(int descriptor, std::uint64_t size) : descriptor_(descriptor), size_(size) {}
    ~PosixFile() override { ::close(descriptor_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::uint64_t size() const override { return size_; }

    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override
    {
        std::size_t copied = 0;
        while (copied < buffer.size()) {
            const std::uint64_t at = offset + copied;
            if (at > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) break;
            const ssize_t count = ::pread(descriptor_, buffer.data() + copied, buffer.size() - copied, static_cast<off_t>(at));
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) break;
            copied += static_cast<std::size_t>(count);
        }
        return copied;
    }

    DataStretch dataFrom(std::uint64_t offset) const override
    {
        if (offset >= size_) return {size_, size_};
        const off_t data = ::lseek(descriptor_, static_cast<off_t>(offset), SEEK_DATA);
        // No data after the offset: the rest of the file is a hole.
        if (data < 0) return errno == ENXIO ? DataStretch{size_, size_} : DataStretch{offset, size_};
        const off_t hole = ::lseek(descriptor_, data, SEEK_HOLE);
        const std::uint64_t start = std::clamp(static_cast<std::uint64_t>(data), offset, size_);
        return {start, hole < 0 ? size_ : std::clamp(static_cast<std::uint64_t>(hole), start, size_)};
    }

private:
    int descriptor_;
    std::uint64_t size_;
};

std::error_code refusal(const struct stat& status)
{
    return std::make_error_code(S_ISDIR(status.st_mode) ? std::errc::is_a_directory : std::errc::not_supported);
}

} // namespace

std::unique_ptr<RandomAccessFile> openRegularFile(const std::filesystem::path& path, std::error_code& error)
{
    error.clear();
    // Looked at before opening: opening a device can have effects of its own, and a FIFO would
    // wait for a writer.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        error = lastError();
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        error = refusal(status);
        return nullptr;
    }
    // Non-blocking all the same, in case the name was given to a FIFO since.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        error = lastError();
        return nullptr;
    }
    // What counts is the file that was opened.
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = S_ISREG(status.st_mode) ? lastError() : refusal(status);
        ::close(descriptor);
        return nullptr;
    }
    return std::make_unique<PosixFile>(descriptor, static_cast<std::uint64_t>(status.st_size));
}

} // namespace quenarch
