#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quenarch {

// Where formatted text goes, piece by piece.
using TextAppender = void (*)(void* target, std::string_view piece);

// Collects a formatted text in a buffer on the stack and hands it over in one append: rows are
// built from many short pieces, and one append costs less than one per piece.
class BufferedTextWriter {
public:
    BufferedTextWriter(TextAppender append, void* target) : append_(append), target_(target) {}
    ~BufferedTextWriter() { flush(); }
    BufferedTextWriter(const BufferedTextWriter&) = delete;
    BufferedTextWriter& operator=(const BufferedTextWriter&) = delete;

    void text(std::string_view piece)
    {
        if (piece.size() > sizeof buffer_ - length_) flush();
        if (piece.size() > sizeof buffer_) {
            append_(target_, piece);
            return;
        }
        char* p = buffer_ + length_;
        for (const char c : piece) *p++ = c; // pieces are a few characters: no call for them
        length_ += piece.size();
    }

    // A number in decimal with at least minimumWidth digits.
    void digits(std::int64_t value, int minimumWidth)
    {
        if (sizeof buffer_ - length_ < 24) flush();
        char* p = buffer_ + length_;
        // Dates and times are mostly one or two digits whose count varies row by row: copying
        // two digits from a table and stepping over one or two avoids a branch that guesses
        // wrong half the time.
        if (value >= 0 && value < 100 && minimumWidth <= 2) {
            const bool oneDigit = value < 10 && minimumWidth < 2;
            std::memcpy(p, digitPairs + 2 * value + oneDigit, 2);
            p += 2 - static_cast<int>(oneDigit);
        } else if (value >= 1000 && value < 10000 && minimumWidth <= 4) {
            std::memcpy(p, digitPairs + 2 * (value / 100), 2);
            std::memcpy(p + 2, digitPairs + 2 * (value % 100), 2);
            p += 4;
        } else {
            char number[24];
            const auto [end, error] = std::to_chars(number, number + sizeof number, value);
            for (auto width = end - number; width < minimumWidth && p < buffer_ + sizeof buffer_ - 24; ++width) *p++ = '0';
            p = std::copy(number, end, p);
        }
        length_ = static_cast<std::size_t>(p - buffer_);
    }

private:
    // "00" to "99": a number below 100 is copied as a pair, or as the second digit of its pair.
    static constexpr char digitPairs[201] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";

    void flush()
    {
        if (length_ != 0) append_(target_, {buffer_, length_});
        length_ = 0;
    }

    TextAppender append_;
    void* target_;
    char buffer_[160];
    std::size_t length_ = 0;
};

} // namespace quenarch
