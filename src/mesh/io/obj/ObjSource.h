#pragma once

#include "base/RegularFile.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The text of a model: held in memory, or in a regular file read piece by piece (so that the
// whole file never needs to sit in memory beside the mesh built from it).
class ObjSource {
public:
    explicit ObjSource(std::string_view text) : text_(text), size_(text.size()) {}
    explicit ObjSource(RegularFile file) : size_(file.Size()), file_(std::move(file)) {}

    std::size_t Size() const { return size_; }
    bool InMemory() const { return !file_.has_value(); }

    // The bytes [offset, offset + length): a view of the text itself, or of `buffer` after
    // reading them into it; nothing when the file no longer holds them.
    std::optional<std::string_view> Read(std::size_t offset, std::size_t length,
                                         std::string& buffer) const;

    // The 1-based number of the line holding the byte at `offset`; nothing when the file can no
    // longer be read.
    std::optional<std::size_t> LineNumberAt(std::size_t offset) const;

    // The first place at or after `offset` where a statement starts on a line of its own (see
    // IsStatementStart), or Size() when there is none. Both readings can be split there.
    std::size_t StatementStartFrom(std::size_t offset) const;

    // True while the text is as it was when reading began.
    bool Unchanged() const { return !file_ || file_->Unchanged(); }

    // The SHA-256 of the text: of the bytes in memory, or of the file read once more through the
    // descriptor it was read from (Unchanged afterwards tells that they are the bytes read
    // before); nothing when the file no longer holds them.
    std::optional<std::string> Sha256Hex() const;

    // Whether `text[at]` begins a line whose first word is a statement (a letter or '#'): no
    // statement before it reaches past the line break in front of it, since a face's corner list
    // stops at the first word that does not start like a corner.
    static bool IsStatementStart(std::string_view text, std::size_t at);

private:
    std::string_view text_;
    std::size_t size_ = 0;
    std::optional<RegularFile> file_;
};
