#pragma once

#include "base/Matrix4.h"

#include <string>

// A point the bullet passed inside the body between IN and OUT: a bone defect, a fragment, the
// re-entry into the chest after the arm. `point` is in the body frame (metres, the body in the
// anatomical position), like IN and OUT; `radius` is the ball it is known within; `part` is the
// body part it lies on, so that a posed point moves with its own part (empty: the part nearest
// to it is not known, and the point moves as the trajectory's IN does).
struct TrackPoint {
    static constexpr double kDefaultRadius = 0.01; // metres

    Vec3 point;
    double radius = kDefaultRadius;
    std::string part;

    bool operator==(const TrackPoint&) const = default;
};
