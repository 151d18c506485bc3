#include "quenarch/archive/byte_source.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenarch {
namespace {

struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0) ::close(fd);
    }
};

} // namespace

ByteSource ByteSource::open(const std::filesystem::path& path, std::error_code& error)
{
    error.clear();
    ByteSource source;
    FileDescriptor file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd < 0) {
        error = std::error_code(errno, std::generic_category());
        return source;
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        error = std::error_code(errno, std::generic_category());
        return source;
    }
    if (S_ISDIR(status.st_mode)) {
        error = std::make_error_code(std::errc::is_a_directory);
        return source;
    }
    if (S_ISREG(status.st_mode)) {
        if (status.st_size == 0) return source;
        const auto length = static_cast<std::size_t>(status.st_size);
        void* mapping = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, file.fd, 0);
        if (mapping != MAP_FAILED) {
            source.mapping_ = mapping;
            source.mappingLength_ = length;
            source.bytes_ = {static_cast<const std::uint8_t*>(mapping), length};
            return source;
        }
    }
    // Devices, pipes and files that cannot be mapped are read to their end.
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.fd, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            error = std::error_code(errno, std::generic_category());
            source.owned_.clear();
            break;
        }
        if (count == 0) break;
        source.owned_.insert(source.owned_.end(), buffer, buffer + count);
    }
    source.bytes_ = source.owned_;
    return source;
}

ByteSource ByteSource::fromMemory(std::span<const std::uint8_t> bytes)
{
    ByteSource source;
    source.bytes_ = bytes;
    return source;
}

ByteSource::ByteSource(ByteSource&& other) noexcept { *this = std::move(other); }

ByteSource& ByteSource::operator=(ByteSource&& other) noexcept
{
    if (this == &other) return *this;
    release();
    const bool ownsBytes = other.bytes_.data() == other.owned_.data() && !other.owned_.empty();
    owned_ = std::move(other.owned_);
    bytes_ = ownsBytes ? std::span<const std::uint8_t>(owned_) : other.bytes_;
    mapping_ = other.mapping_;
    mappingLength_ = other.mappingLength_;
    other.mapping_ = nullptr;
    other.mappingLength_ = 0;
    other.bytes_ = {};
    return *this;
}

ByteSource::~ByteSource() { release(); }

void ByteSource::release()
{
    if (mapping_ != nullptr) ::munmap(mapping_, mappingLength_);
    mapping_ = nullptr;
    mappingLength_ = 0;
    bytes_ = {};
    owned_.clear();
}

} // namespace quenarch
