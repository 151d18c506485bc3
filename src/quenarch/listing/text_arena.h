#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <string_view>

namespace quenarch {

// A text kept in a TextArena: one pointer to its length, written as a base-128 number, and the
// bytes that follow. A default handle holds the empty text.
class StoredText {
public:
    StoredText() = default;

    std::string_view view() const
    {
        if (at_ == nullptr) return {};
        std::size_t length = 0;
        const unsigned char* at = at_;
        for (int shift = 0;; shift += 7) {
            const unsigned char byte = *at++;
            length |= std::size_t{byte & 0x7Fu} << shift;
            if ((byte & 0x80) == 0) break;
        }
        return {reinterpret_cast<const char*>(at), length};
    }

private:
    friend class TextArena;
    explicit StoredText(const unsigned char* at) : at_(at) {}

    const unsigned char* at_ = nullptr;
};

// Texts packed one after another in blocks that grow as the arena fills, all given back at
// once: a million short names cost a few dozen allocations instead of a million, and no more
// than their bytes and a byte or two of length each.
class TextArena {
public:
    explicit TextArena(std::pmr::memory_resource* blocks) : buffer_(blocks) {}

    StoredText store(std::string_view text);
    // Gives back every text; handles stored before no longer hold anything.
    void clear() { buffer_.release(); }

private:
    std::pmr::monotonic_buffer_resource buffer_;
};

} // namespace quenarch
