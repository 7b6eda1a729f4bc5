#pragma once

#include "base/Matrix4.h"
#include "body/Posture.h"
#include "body/Skeleton.h"

#include <array>
#include <string>
#include <vector>

class Body;

// One of the two tracks to line up: its measured IN and OUT (body frame, anatomical position)
// and the body parts they lie on (none for a trajectory of an older file).
struct AlignmentTrack {
    int number = 0; // the trajectory's number, for the messages
    Vec3 in, out;
    std::string inPart, outPart;
    // 0: the whole trajectory; 1 or 2: the first or second straight piece of a track that runs
    // through two parts (the arm, then the chest), which can be lined up with each other.
    int piece = 0;
};

// "Align wounds": two trajectories one bullet made (through the forearm and on into the chest),
// or the two pieces of one trajectory through both, must lie on one straight line in the posture
// the body had when it was shot. The search finds the postures, within the chosen joints' limits
// and starting from the body's posture, that make the two posed tracks most nearly one line: the
// smallest angle between their directions, then the smallest gap between their lines.
struct AlignmentRequest {
    AlignmentTrack first, second;        // both with parts
    std::vector<skeleton::Joint> joints; // the joints that may move
    // Which of each chosen joint's angles (yaw, pitch, roll) may move. Two tracks fix four
    // numbers; two joints turn by six angles, so with every angle free the fit has a family of
    // exact answers, of which the search prefers those nearest the starting posture.
    std::array<bool, 3> angles = {true, true, true};
    // How many searches are made: the first from the case's posture, the others from postures
    // drawn evenly within the limits (at least one). Fewer are quicker and may miss an answer
    // that lies far from the case's posture.
    int starts = 24;
};

struct AlignmentAnswer {
    Posture posture;
    double angleDegrees = 0; // between the two posed tracks' directions
    double gapMetres = 0;    // the shortest distance between their lines
};

struct AlignmentResult {
    // Best first. Several are given when they fit equally well (within 0.1 degree and 1 mm) and
    // differ by more than 5 degrees at some joint.
    std::vector<AlignmentAnswer> answers;
    std::string refusal; // why no search was made (empty when answers were searched for)
};

AlignmentResult AlignWounds(const Body& body, const AlignmentRequest& request);

// Why a track gives no direction to line up (its IN within a millimetre of its OUT); empty when
// it gives one.
std::string DirectionRefusal(const AlignmentTrack& track);

// The angle (degrees, 0 to 180) between the two posed tracks' directions of travel and the gap
// between their lines, for the tracks as posed by `posture`.
AlignmentAnswer MeasureAlignment(const Body& body, const AlignmentTrack& first,
                                 const AlignmentTrack& second, const Posture& posture);
