#include "mesh/io/obj/ObjSource.h"

#include "base/Sha256.h"
#include "mesh/io/obj/ObjTextCursor.h"

#include <algorithm>

namespace {

// The size of the pieces read while counting lines or looking for a statement.
constexpr std::size_t kScanBytes = 1u << 16;
constexpr std::size_t kFirstPieceBytes = 1u << 12;

bool IsStatementCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '#';
}

} // namespace

std::optional<std::string_view> ObjSource::Read(std::size_t offset, std::size_t length,
                                                std::string& buffer) const {
    if (offset > size_ || length > size_ - offset) {
        return std::nullopt;
    }
    if (!file_) {
        return text_.substr(offset, length);
    }
    if (buffer.size() < length) {
        buffer.resize(length);
    }
    if (!file_->ReadAt(offset, length, buffer.data())) {
        return std::nullopt;
    }
    return std::string_view(buffer.data(), length);
}

std::optional<std::size_t> ObjSource::LineNumberAt(std::size_t offset) const {
    offset = std::min(offset, size_);
    std::string buffer;
    std::size_t line = 1;
    char previous = 0;
    for (std::size_t at = 0; at < offset; at += kScanBytes) {
        const std::optional<std::string_view> piece =
            Read(at, std::min(kScanBytes, offset - at), buffer);
        if (!piece) {
            return std::nullopt;
        }
        line +=
            ObjTextCursor::CountLineBreaks(piece->data(), piece->data() + piece->size(), previous);
        previous = piece->back();
    }
    return line;
}

std::size_t ObjSource::StatementStartFrom(std::size_t offset) const {
    if (offset == 0 || offset >= size_) {
        return std::min(offset, size_);
    }
    std::string buffer;
    // A start is nearly always within the next line or two: the pieces begin small and grow.
    std::size_t pieceBytes = kFirstPieceBytes;
    // Each piece starts one byte early, so that the line break in front of a start is seen.
    for (std::size_t at = offset - 1; at < size_;) {
        const std::optional<std::string_view> piece =
            Read(at, std::min(pieceBytes + 1, size_ - at), buffer);
        if (!piece) {
            return size_;
        }
        for (std::size_t i = 1; i < piece->size(); ++i) {
            if (IsStatementStart(*piece, i)) {
                return at + i;
            }
        }
        at += pieceBytes;
        pieceBytes = std::min(2 * pieceBytes, kScanBytes);
    }
    return size_;
}

bool ObjSource::IsStatementStart(std::string_view text, std::size_t at) {
    return at == 0 || (at < text.size() && ObjTextCursor::IsLineBreak(text[at - 1]) &&
                       IsStatementCharacter(text[at]));
}

std::optional<std::string> ObjSource::Sha256Hex() const {
    if (!file_) {
        return ::Sha256Hex(text_);
    }
    return Sha256HexOfFile(*file_);
}
