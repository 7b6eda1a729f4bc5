#pragma once

#include "case/CarriedFrom.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The data-file reader's part for the block that says where a case's trajectories were carried
// from (see AppendCarriedBlock). It keeps the raw texts until the block closes; a text no case
// could write back, or a length that is no length, leaves the record out with a note.
class CarriedLineReader {
public:
    using NoteSink = std::function<void(std::string)>;
    explicit CarriedLineReader(NoteSink noteSink) : note(std::move(noteSink)) {}

    // Takes a value line of the open block; false when no block is open.
    bool StoreValue(std::string_view lowered, std::string_view value);
    // Opens or closes the block (setting `carried` when it closes); false when the line is no
    // tag of it.
    bool HandleTagLine(std::string_view lowered, long lineNumber,
                       std::optional<CarriedFrom>& carried);
    // A block left open at the end of the file is noted and left out.
    void NoteUnfinishedBlock();

private:
    std::optional<CarriedFrom> Finish();
    bool TextInto(std::string_view what, const std::string& raw, std::string& text);
    bool NumberInto(std::string_view what, const std::string& raw, double& number);
    void LeftOut(std::string_view why);

    NoteSink note;
    bool inBlock = false;
    long blockLine = 0;
    std::string folder, series, sha256, ctLength, bodyLength, bodyScale;
};
