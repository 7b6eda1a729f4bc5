#pragma once

#include "base/Matrix4.h"
#include "case/ExteriorPoint.h"

#include <optional>

// How far an exterior point lies from the line through the posed IN and OUT (scene frame): its
// distance from the line, and the angle at the track's end on its side (IN for a point before
// entry, OUT for one after exit) between the track's line, continued outward, and the direction
// to the point. An angle beyond 90 degrees says the point lies on the other side of that end.
struct ExteriorDeviation {
    double distance = 0; // m
    double angle = 0;    // degrees
    double reach = 0;    // from that end to the point, m
};

// Empty when IN and OUT coincide (the track has no line).
std::optional<ExteriorDeviation> DeviationFromTrack(const Vec3& in, const Vec3& out,
                                                    const ExteriorPoint& exterior);
