#pragma once

#include "base/Matrix4.h"
#include "case/TrackAngles.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct Trajectory;

// A place the bullet passed inside the body: IN, a point between, or OUT (body frame, metres),
// with the radius of the ball it is known within and the body part it lies on.
struct TrackStop {
    Vec3 point;
    double radius = 0;
    std::string part;
};

// IN, the trajectory's points in order, then OUT, as measured (the body in the anatomical
// position). A point without a part takes the part of the stop before it.
std::vector<TrackStop> StopsOfTrajectory(const Trajectory& trajectory);

// A straight piece of a track: the stops it passed on one body part in a row (the arm, then the
// chest). A piece holds at least two stops; a lone stop on a part of its own joins the piece
// after it (or, at OUT, the one before).
struct TrackPiece {
    std::size_t first = 0, last = 0; // indices of its first and last stops
    std::string part;                // the part most of its stops lie on
    Vec3 start;                      // its line's point nearest its first stop
    Vec3 direction;                  // unit, from its first stop toward its last
    TrackAngles angles;
};

// The line of a track of many points: the least-squares line through all its stops, each
// weighted by 1 / r^2 of its radius, turned from IN toward OUT; each stop's distance from it; and
// the pieces the track breaks into at the body parts, each with its own line, with the angle
// between each piece and the next (the deflection, degrees, 0 when they run on in one line).
struct TrackLine {
    Vec3 start;     // the line's point nearest IN
    Vec3 direction; // unit, from IN toward OUT
    TrackAngles angles;
    std::vector<double> misfit; // each stop's distance from the line (m), IN first
    std::vector<double> radius; // each stop's radius (m)
    // Every stop lies within kMisfitFactor times its radius of the line.
    bool onOneLine = true;
    std::vector<TrackPiece> pieces; // at least one
    std::vector<double> deflection; // between piece k and k + 1
};

// None when fewer than two stops are given, when they all coincide, or when the line's direction
// from IN toward OUT is not defined (IN and OUT equally far along it).
std::optional<TrackLine> FitTrackLine(const std::vector<TrackStop>& stops);

// The ends a straight picture of the track runs between (body frame, metres): IN and OUT, or, for
// a track with points between them, the places on the line fitted through all its stops nearest
// IN and OUT, so that the plane along the track holds the line its angles are read from (IN and
// OUT when no line can be fitted).
std::pair<Vec3, Vec3> StraightTrackEnds(const Trajectory& trajectory);

// The angle between two directions (of any length but 0), in degrees from 0 to 180.
double AngleBetween(const Vec3& a, const Vec3& b);
