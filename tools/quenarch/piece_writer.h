#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quenarch::lister {

// Where printed text goes, piece by piece.
using TextSink = std::function<void(std::string_view)>;

// Collects printed text and hands it on in pieces of about a quarter of a megabyte: few enough
// writes to cost little, small enough that a listing of any length needs little memory.
class PieceWriter {
public:
    explicit PieceWriter(const TextSink& sink) : sink_(sink) { text_.reserve(pieceSize + pieceSize / 4); }
    PieceWriter(const PieceWriter&) = delete;
    PieceWriter& operator=(const PieceWriter&) = delete;
    ~PieceWriter() { flush(); }

    // The text not yet handed on, to append to.
    std::string& text() { return text_; }
    // Hands the text on once a piece is full; called between lines or records.
    void endOfLine()
    {
        if (text_.size() >= pieceSize) flush();
    }
    void flush()
    {
        if (text_.empty()) return;
        sink_(text_);
        text_.clear();
    }

private:
    static constexpr std::size_t pieceSize = 256 * 1024;
    const TextSink& sink_;
    std::string text_;
};

} // namespace quenarch::lister
