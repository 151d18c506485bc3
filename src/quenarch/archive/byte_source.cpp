#include "quenarch/archive/byte_source.h"

#include <algorithm>

namespace quenarch {

std::optional<Bytes> ByteSource::refill(std::uint64_t offset, std::size_t length)
{
    if (!fits(offset, length) || length > maximumReadLength) return std::nullopt;
    // The first read, and any read away from the window, fetches little: only a run of reads
    // moves through the file in large chunks.
    const bool continuesWindow = !window_.empty() && offset >= windowStart_ && offset - windowStart_ <= window_.size();
    const std::uint64_t chunk = std::max<std::uint64_t>(length, continuesWindow ? runChunkLength : jumpChunkLength);
    const auto wanted = static_cast<std::size_t>(std::min(chunk, size_ - offset));
    if (buffer_.size() < wanted) buffer_.resize(wanted);
    const std::size_t got = file_.readAt(offset, {buffer_.data(), wanted});
    windowStart_ = offset;
    window_ = Bytes(buffer_.data(), got);
    if (got < length) return std::nullopt;
    return window_.first(length);
}

std::uint64_t ByteSource::dataFrom(std::uint64_t offset)
{
    if (offset < stretchAskedFor_ || offset >= stretch_.end) {
        stretchAskedFor_ = offset;
        stretch_ = file_.dataFrom(offset);
    }
    return std::min(std::max(offset, stretch_.start), size_);
}

} // namespace quenarch
