#pragma once

#include "base/Matrix4.h"

// A mark of the bullet outside the body: a hole in a window, a wall or a car door, an impact
// mark. `point` is in the scene frame (metres); `beforeEntry` says whether the bullet made it
// before it reached IN (a hole it passed on its way to the body) or after it left at OUT.
// `radius` is the ball in which the mark's centre may lie (metres): a hole's rim measured with a
// tape is good to about a centimetre, which is the default.
struct ExteriorPoint {
    static constexpr double kDefaultRadius = 0.01; // metres

    Vec3 point;
    bool beforeEntry = true;
    double radius = kDefaultRadius;

    bool operator==(const ExteriorPoint&) const = default;
};
