#pragma once

#include "casefile/CaseFileRecord.h"
#include "casefile/DataFileReadResult.h"

struct Case;

// Applies what a data file says to the case, the one step of reading that needs the body: the
// CT series the body comes from, if the file names one (its scan is read later, LoadCtBody; a
// CT body takes from the body blocks neither height, stretches nor posture), each body block in
// turn (a height of 0 or less is refused and the body keeps its own), the scene
// blocks after them wherever they stand in the file, then the trajectories and elements appended
// as far as the case's tables of 20 take them (those beyond are counted), and the case
// information. A trajectory without part lines and without a with-arm line gets the parts nearest
// to its points, except in a file whose pose comes from the older "arm" and "forearm" lines:
// there it follows the arm, as such files were drawn. Says what was left out or replaced, the
// record's notes first.
DataFileReadResult ApplyCaseFile(const CaseFileRecord& record, Case& theCase);
