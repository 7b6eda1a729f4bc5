#pragma once

#include "body/PostureAlignment.h"
#include "case/Case.h"

#include <array>
#include <optional>

// The track of trajectory `number` as the wound alignment takes it; number 0, which the search
// refuses, when the case has no such trajectory.
AlignmentTrack AlignmentTrackOf(const Case& theCase, int number);

// The two straight pieces of trajectory `number`'s track (through the arm, then on into the
// chest) as the wound alignment takes them: each from its first to its last stop as they lie on
// the piece's own line, both ends on the piece's part. None when the case has no such trajectory
// or its track does not break into exactly two pieces at the body parts.
std::optional<std::array<AlignmentTrack, 2>> AlignmentPiecesOf(const Case& theCase, int number);
