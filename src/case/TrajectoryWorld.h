#pragma once

#include "base/Matrix4.h"

#include <string>
#include <vector>

// A mark of the bullet outside the body: a hole in a window, a wall or a car door, an impact
// mark. `point` is in the scene frame (metres); `beforeEntry` says whether the bullet made it
// before it reached IN (a hole it passed on its way to the body) or after it left at OUT.
struct ExteriorPoint {
    Vec3 point;
    bool beforeEntry = true;

    bool operator==(const ExteriorPoint& other) const {
        return point.x == other.point.x && point.y == other.point.y && point.z == other.point.z &&
               beforeEntry == other.beforeEntry;
    }
};

// What a trajectory holds about the world around the body: its exterior points in the order
// they were entered, and the shot group it belongs to (trajectories of one group were fired from
// one place; an empty name is no group).
struct TrajectoryWorld {
    static constexpr int kMaxExteriorPoints = 20;
    // A group name is a short label ("A", "volley from the door").
    static constexpr size_t kMaxGroupLength = 80;

    std::vector<ExteriorPoint> exterior;
    std::string group;

    bool operator==(const TrajectoryWorld&) const = default;
};
