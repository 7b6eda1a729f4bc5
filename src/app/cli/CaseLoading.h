#pragma once

#include "app/cli/CommandLine.h"

#include "base/Diagnostics.h"
#include "body/Body.h"

#include <iosfwd>
#include <string>
#include <vector>

class Case;
class ViewState;

// Loads the body (the one named with --body, else the default model) into a fresh case and
// reads the case file into it. Returns false after writing one line on `err` when the body or
// the case cannot be read; what reading left out or replaced (more trajectories or elements than
// a case holds, a value no case takes) is said on `err`, one "ruvo:" line each, kept in
// `readingNotes` when given, and the case still counts as read. The body model may be in any
// supported format; its reader's warnings go to `err`. With `withArrows` the two arrow models are
// read as well (for commands that place the arrows without drawing them).
bool LoadCase(const CommandLine& commandLine, Case& theCase, std::ostream& err,
              bool withArrows = false, std::vector<std::string>* readingNotes = nullptr);

// Reads the scene model the case names, if any (a relative path from the case file's folder).
// One that does not read is said on `err` as a warning (and added to `readingNotes` when
// given): the case is kept, without the scene's surfaces.
void LoadCaseScene(const CommandLine& commandLine, Case& theCase, std::ostream& err,
                   std::vector<std::string>* readingNotes = nullptr);

// Says a warning (the body model's, its landmark table's, any the libraries report) on `err` as
// "ruvo: warning: TEXT".
DiagnosticSink WarningsTo(std::ostream& err);

// Says what reading the case file left out or replaced on `err`, one "ruvo:" line each.
void ReportReadingNotes(const std::vector<std::string>& notes, std::ostream& err);

// Sets the standard view named on the command line (front, back, left, right, top, profile).
void ApplyNamedView(ViewState& viewState, const std::string& view);
