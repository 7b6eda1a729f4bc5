#pragma once

#include "body/PostureAlignment.h"
#include "case/Case.h"

// The track of trajectory `number` as the wound alignment takes it; number 0, which the search
// refuses, when the case has no such trajectory.
AlignmentTrack AlignmentTrackOf(const Case& theCase, int number);
