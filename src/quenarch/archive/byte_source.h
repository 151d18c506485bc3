#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>
#include <vector>

namespace quenarch {

// The bytes of an archive file, addressed by offset. A regular file is mapped into memory and
// read where the reader looks; anything else that opens is read whole. Memory bytes serve tests.
class ByteSource {
public:
    static ByteSource open(const std::filesystem::path& path, std::error_code& error);
    static ByteSource fromMemory(std::span<const std::uint8_t> bytes);

    ByteSource(ByteSource&& other) noexcept;
    ByteSource& operator=(ByteSource&& other) noexcept;
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;
    ~ByteSource();

    std::span<const std::uint8_t> bytes() const { return bytes_; }
    std::uint64_t size() const { return bytes_.size(); }

private:
    ByteSource() = default;
    void release();

    std::span<const std::uint8_t> bytes_;
    void* mapping_ = nullptr;
    std::size_t mappingLength_ = 0;
    std::vector<std::uint8_t> owned_;
};

} // namespace quenarch
