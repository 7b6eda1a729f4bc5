#pragma once

#include "base/Matrix4.h"
#include "base/WeightedLineFit.h"
#include "case/ExteriorPoint.h"

#include <optional>
#include <vector>

// The line of one shot through every point the bullet passed, in the scene frame: the holes it
// made before IN, IN, OUT and the marks it made after OUT. Each point weighs by its own
// uncertainty, 1 / r^2 for a point known within a ball of radius r, so that a hole two metres
// away fixes the direction far better than a second wound twenty centimetres from the first.
// The line minimises the weighted sum of the squared distances of the points from it: it passes
// through their weighted centre along the main axis of their weighted scatter.
struct BackLineFit {
    Vec3 start; // the line's point nearest IN, where the back line starts
    Vec3 back;  // unit, against the direction of travel (from OUT toward the holes before IN)
    // The cone that holds every line through all the balls: no wider than the one through the
    // two balls that bound it most tightly, asin((r_i + r_j) / |p_i - p_j|) (degrees); none when
    // every two balls overlap.
    std::optional<double> halfAngle;
    // Along `back` from `start` to the farthest hole the bullet made before IN (m), 0 when it
    // made none: the shooter stood beyond it, never between it and the body.
    double holeReach = 0;
    bool hasHole = false;
    // Each point's distance from the line (m) and its radius: IN, OUT, then the exterior points
    // in the order they were entered.
    std::vector<double> misfit, radius;
    // Every point lies within kMisfitFactor times its radius of the line.
    bool onOneLine = true;
};

// The line through IN and OUT (their radii `radiusIn`, `radiusOut`) and the exterior points;
// none when all the points coincide. The direction of travel runs from the holes before IN
// through IN and OUT to the marks after OUT, so `back` points the other way.
std::optional<BackLineFit> FitBackLine(const Vec3& in, double radiusIn, const Vec3& out,
                                       double radiusOut,
                                       const std::vector<ExteriorPoint>& exterior);
