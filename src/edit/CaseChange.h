#pragma once

#include "edit/CaseEdit.h"

// What the case's editor tells its listeners after the case changed.
struct CaseChange {
    enum class Kind {
        Done,     // an edit was made (it is now the last one in the history)
        Undone,   // an edit was taken back
        Redone,   // an edit taken back was made again
        Preview,  // a dialog or a drag shows a change it has not made into an edit yet
        Replaced, // the whole case was put in place of the old one (a new case, a file read in
                  // its place); no edit leads back to the old one
    };
    Kind kind = Kind::Done;
    const CaseEdit* edit = nullptr; // nullptr for a preview

    // Whether the numbers of trajectories and elements may now name other entries.
    bool Renumbers() const {
        return kind == Kind::Replaced || (edit != nullptr && edit->Renumbers());
    }
};
