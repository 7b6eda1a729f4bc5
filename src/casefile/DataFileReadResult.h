#pragma once

#include "base/Status.h"

#include <string>
#include <vector>

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
