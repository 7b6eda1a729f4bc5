#pragma once

#include "base/Matrix4.h"

#include <optional>
#include <vector>

// A back line taken as the ray a shooter can stand on: the points start + t * direction for
// t >= from. It starts at IN (from = 0), or at the farthest hole the bullet made before IN.
struct BackRay {
    Vec3 start;     // the back line's start, near IN
    Vec3 direction; // unit, against the direction of travel
    double from = 0;
    std::optional<double> halfAngle; // of the line's cone, degrees; none when not determined
};

// The closest distance between two of the rays (indices into the rays).
struct RayGap {
    size_t first = 0, second = 0;
    double distance = 0; // m
};

// Where a group's rays come closest. The point minimises the sum of the squared distances from
// it to each ray (not to each whole line, so that it is never sought ahead of an entry).
struct RayConvergence {
    Vec3 point;
    std::vector<double> miss;      // the point's distance from each ray, m
    std::vector<double> along;     // from each start along its line to the point's foot, m
    std::vector<double> tolerance; // the miss each ray may have, m
    // Rays whose nearest point to it is their own start: the point lies ahead of it, on the side
    // of the body the shot went toward, or the rays draw apart going back.
    std::vector<bool> atStart;
    std::vector<RayGap> gaps; // every pair's closest distance, in pair order
    // Every ray passes the point beyond its start and within its tolerance.
    bool close = false;
};

// A ray may miss the point by this much, or by as much as its own cone is wide there
// (distance along it times the tangent of its half-angle) when that is more.
inline constexpr double kConvergenceMiss = 0.25; // m

// The rays' nearest point, found by Newton's steps on the piecewise quadratic sum (each ray
// counts as its whole line where the point's foot falls beyond its start, as its start where
// not), starting from `linesPoint`, the whole lines' own nearest point (ConvergeLines). `rays`
// holds two or more rays whose lines are not parallel.
RayConvergence ConvergeRays(const std::vector<BackRay>& rays, const Vec3& linesPoint);

// The closest distance between two rays.
double RayDistance(const BackRay& a, const BackRay& b);
