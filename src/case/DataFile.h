#pragma once

#include "base/Status.h"

#include <string>
#include <string_view>

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

    bool ok() const { return status.ok(); }
    bool LeftSomethingOut() const {
        return trajectoriesLeftOut > 0 || elementsLeftOut > 0 || bodyHeightRefused;
    }
    // A line for the user for each thing left out; empty when nothing was.
    std::string LeftOutMessage() const;
};

// One case on disk: the software block, the body's name and height, every trajectory and every
// element, one value per line with XML-like tags, lengths in metres, lines ending in CR LF.
class DataFile {
public:
    // Writes the case to `path`, replacing the file only once the whole case is safely on disk;
    // on failure the previous file is left as it was and the status says why.
    static Status Write(const Case& theCase, const std::string& path);
    // Appends the file's trajectories and elements to the case and applies its body block.
    static DataFileReadResult Read(Case& theCase, const std::string& path);

    // The text that Write stores.
    static std::string Format(const Case& theCase);
    // Reads data-file text held in memory exactly as Read reads a file.
    static DataFileReadResult ReadText(Case& theCase, std::string_view text);
};
