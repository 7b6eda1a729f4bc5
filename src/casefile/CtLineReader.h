#pragma once

#include "casefile/CaseFileRecord.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The data-file reader's part for the block that names the CT series a case's body comes from:
// "<ct>", "<folder>PATH</folder>", "<series>UID</series>", "</ct>". Readers that know nothing of
// it skip its lines, which stand outside every other block. Like the scene block it keeps the raw
// texts until the block closes; a text no case could write back is left out with a note.
class CtLineReader {
public:
    using NoteSink = std::function<void(std::string)>;
    explicit CtLineReader(NoteSink noteSink) : note(std::move(noteSink)) {}

    // Takes a value line of the open block; false when no block is open.
    bool StoreValue(std::string_view lowered, std::string_view value);
    // Opens or closes the block (setting the record's CT series when it closes); false when the
    // line is no tag of it.
    bool HandleTagLine(std::string_view lowered, long lineNumber, CaseFileRecord& record);
    // A block left open at the end of the file is noted and left out.
    void NoteUnfinishedBlock();

private:
    std::optional<std::string> Checked(std::string_view what,
                                       const std::optional<std::string>& raw);
    void Finish(CaseFileRecord& record);

    NoteSink note;
    bool inBlock = false;
    long blockLine = 0;
    std::optional<std::string> folder;
    std::optional<std::string> series;
};
