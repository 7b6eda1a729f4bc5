#pragma once

#include "base/Status.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class Case;

// What reading a data file gave: success or the reason it failed, and how many complete
// trajectory and element blocks did not fit the case's tables (20 of each, counting those that
// were there before).
struct DataFileReadResult {
    Status status = Status::Ok();
    int trajectoriesLeftOut = 0;
    int elementsLeftOut = 0;
    // A body height of 0 or less is refused: its text in the file and the height kept (metres).
    bool bodyHeightRefused = false;
    std::string refusedBodyHeight;
    double keptBodyHeight = 0;
    // Every other value or line left out or replaced (an angle no turn has, a colour beyond 255, a
    // line too long for the reader, ...), one sentence each, in file order; and how many more
    // there were beyond those listed.
    std::vector<std::string> notes;
    int notesNotListed = 0;

    bool ok() const { return status.ok(); }
    bool LeftSomethingOut() const {
        return trajectoriesLeftOut > 0 || elementsLeftOut > 0 || bodyHeightRefused ||
               !notes.empty() || notesNotListed > 0;
    }
    // One sentence for the user per thing left out or replaced; empty when nothing was.
    std::vector<std::string> ReadingNotes() const;
    // Those sentences, one per line; empty when nothing was left out.
    std::string LeftOutMessage() const;
};

// One case on disk: the software block, the body's name and height, every trajectory and every
// element, one value per line with XML-like tags, lengths in metres, lines ending in CR LF.
class DataFile {
public:
    // The one line rule of writer and reader: the reader takes a line of up to this many bytes
    // (its line end not counted) whole, and the writer writes no longer line.
    static constexpr std::size_t kMaxLineLength = 32768;

    // Writes the case to `path`, replacing the file only once the whole case is safely on disk;
    // on failure the previous file is left as it was and the status says why. A case holding a
    // text too long for a line is refused, since it would not read back whole.
    static Status Write(const Case& theCase, const std::string& path);
    // Appends the file's trajectories and elements to the case and applies its body block. A
    // file that is not empty but holds no tag of a case is refused as no data file, and the case
    // is left as it was.
    static DataFileReadResult Read(Case& theCase, const std::string& path);

    // The text that Write stores.
    static std::string Format(const Case& theCase);
    // Reads data-file text held in memory exactly as Read reads a file.
    static DataFileReadResult ReadText(Case& theCase, std::string_view text);
};
