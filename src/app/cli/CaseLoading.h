#pragma once

#include "app/cli/CommandLine.h"

#include <iosfwd>
#include <string>

class Case;
class ViewState;

// Loads the body (the one named with --body, else the default model) into a fresh case and
// reads the case file into it. Returns false after writing one line on `err` when the body or
// the case cannot be read; a case with more trajectories or elements than a case holds is read
// as far as it fits, said on `err`, and still counts as read. The body model may be in any
// supported format; its reader's warnings go to `err`. With `withArrows` the two arrow models are
// read as well (for commands that place the arrows without drawing them).
bool LoadCase(const CommandLine& commandLine, Case& theCase, std::ostream& err,
              bool withArrows = false);

// Sets the standard view named on the command line (front, back, left, right, top, profile).
void ApplyNamedView(ViewState& viewState, const std::string& view);
