#pragma once

#include "quenarch/archive/bytes.h"
#include "quenarch/platform/file_access.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quenarch {

// An archive file as the readers see it: bytes addressed by offset, read through a window of the
// file that moves where the reader looks. A read that goes on where the window ends fetches a
// large chunk, so a directory of a million headers takes a few hundred reads; the first read, and
// one elsewhere, fetch a small one, so jumping over member data reads little. Nothing is mapped: a file that
// shrinks under a reader only makes its end come early.
//
// The bytes a read hands out stay valid until the next read.
class ByteSource {
public:
    // The most bytes one read hands out: 4 MiB. A reader takes a header that claims more as
    // running past the end of the file, so no header field sizes a larger buffer.
    static constexpr std::size_t maximumReadLength = std::size_t{4} << 20;
    // What a read that goes on where the window ends fetches at least: 1 MiB.
    static constexpr std::size_t runChunkLength = std::size_t{1} << 20;
    // What the first read, or one elsewhere, fetches at least: 16 KiB.
    static constexpr std::size_t jumpChunkLength = std::size_t{16} << 10;

    explicit ByteSource(RandomAccessFile& file) : file_(file), size_(file.size()) {}

    // The length of the file when it was opened.
    std::uint64_t size() const { return size_; }

    // Whether length bytes from the offset lie inside the file.
    bool fits(std::uint64_t offset, std::uint64_t length) const { return offset <= size_ && length <= size_ - offset; }

    // The length bytes from the offset; nothing when they do not all lie inside the file, when
    // they are more than maximumReadLength, or when the file no longer holds them.
    std::optional<Bytes> read(std::uint64_t offset, std::size_t length)
    {
        if (offset >= windowStart_) {
            const std::uint64_t into = offset - windowStart_;
            if (into <= window_.size() && length <= window_.size() - into) return window_.subspan(static_cast<std::size_t>(into), length);
        }
        return refill(offset, length);
    }

    // The first offset from this one on where the file may hold bytes other than zeros: past the
    // hole of a sparse file that the offset lies in, the offset itself outside holes. The file is
    // asked again only where the stretch it last told of ends.
    std::uint64_t dataFrom(std::uint64_t offset);

    // The bytes from the offset on, at most length of them: fewer where the file ends first.
    std::optional<Bytes> readUpTo(std::uint64_t offset, std::size_t length)
    {
        if (offset > size_) return std::nullopt;
        return read(offset, static_cast<std::size_t>(std::min<std::uint64_t>(length, size_ - offset)));
    }

private:
    std::optional<Bytes> refill(std::uint64_t offset, std::size_t length);

    RandomAccessFile& file_;
    std::uint64_t size_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t windowStart_ = 0;
    Bytes window_;
    // The stretch the file last told of, and the offset it was asked for.
    std::uint64_t stretchAskedFor_ = 0;
    RandomAccessFile::DataStretch stretch_{0, 0};
};

} // namespace quenarch
