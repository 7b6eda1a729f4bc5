#include "casefile/CtLineReader.h"

#include "base/TextEscaping.h"
#include "base/TextWords.h"
#include "case/CaseText.h"
#include "casefile/LineText.h"

namespace {

using line_text::Contains;

} // namespace

bool CtLineReader::StoreValue(std::string_view lowered, std::string_view value) {
    if (!inBlock) {
        return false;
    }
    if (Contains(lowered, "<folder>")) {
        folder = std::string(value);
    } else if (Contains(lowered, "<series>")) {
        series = std::string(value);
    }
    return true; // anything else in the block is skipped, as unknown lines are
}

bool CtLineReader::HandleTagLine(std::string_view lowered, long lineNumber,
                                 CaseFileRecord& record) {
    if (Contains(lowered, "</ct>")) {
        if (inBlock) {
            inBlock = false;
            Finish(record);
        }
        return true;
    }
    if (Contains(lowered, "<ct>")) {
        inBlock = true;
        blockLine = lineNumber;
        folder.reset();
        series.reset();
        return true;
    }
    return false;
}

void CtLineReader::NoteUnfinishedBlock() {
    if (inBlock) {
        note("The CT series from line " + std::to_string(blockLine) +
             " of the data file left out: the file ends before its </ct>; the body is the body "
             "model.");
    }
}

// The text unescaped and trimmed; none (with a note) when it could not be written back.
std::optional<std::string> CtLineReader::Checked(std::string_view what,
                                                 const std::optional<std::string>& raw) {
    if (!raw) {
        return std::string();
    }
    std::string plain = std::string(Trimmed(UnescapeText(*raw)));
    if (CaseTextFits(plain)) {
        return plain;
    }
    note("The CT series from line " + std::to_string(blockLine) + " left out: its " +
         std::string(what) + " would take more than the " + std::to_string(kMaxCaseTextLength) +
         " bytes a text of the data file may take; the body is the body model.");
    return std::nullopt;
}

// A case's body comes from one series: a later block replaces an earlier one, which is named.
void CtLineReader::Finish(CaseFileRecord& record) {
    const std::optional<std::string> folderText = Checked("folder", folder);
    const std::optional<std::string> seriesText =
        folderText ? Checked("series", series) : std::optional<std::string>(std::string());
    if (!folderText || !seriesText) {
        return;
    }
    if (folderText->empty()) {
        note("The CT series from line " + std::to_string(blockLine) +
             " left out: it names no folder; the body is the body model.");
        return;
    }
    CaseFileRecord::CtBlock block{blockLine, *folderText, *seriesText};
    if (record.ct &&
        (record.ct->folder != block.folder || record.ct->seriesUid != block.seriesUid)) {
        note("The CT series from line " + std::to_string(record.ct->line) +
             " left out: the CT series from line " + std::to_string(blockLine) + " names another.");
    }
    record.ct = std::move(block);
}
