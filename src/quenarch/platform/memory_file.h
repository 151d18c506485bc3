#pragma once

#include "quenarch/platform/file_access.h"

#include <string_view>

namespace quenarch {

// A file whose bytes are already in memory (the caller keeps them alive): archives held by a
// host, read from standard input, or made by tests and fuzzers.
class MemoryFile final : public RandomAccessFile {
public:
    explicit MemoryFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    explicit MemoryFile(std::string_view bytes) : bytes_(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) {}

    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override;

private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace quenarch
