#pragma once

#include "base/Matrix4.h"

#include <optional>
#include <span>
#include <utility>
#include <vector>

// A measured point and the radius of the ball it is known within (any length unit, the same for
// every point of a fit).
struct WeightedPoint {
    Vec3 point;
    double radius = 0;
};

// A point lies off a fitted line when it is farther from it than this many times its radius: for
// a point measured within its ball the line through the true points passes within one radius, and
// the fitted line may stand off the true one by about as much again.
inline constexpr double kMisfitFactor = 2.0;
// A radius under a millimetre weighs as a millimetre (and is judged against one), so that a point
// entered with radius 0 does not take the whole weight. In metres.
inline constexpr double kSmallestFitRadius = 0.001;

// What a point of radius r weighs in a fit: 1 / r^2, r no smaller than kSmallestFitRadius.
double FitWeight(double radius);

// The line that minimises the weighted sum of the squared distances of the points from it: it
// passes through their weighted centre along the main axis of their weighted scatter. The axis is
// a unit vector whose sign says nothing; none when there are no points or all coincide.
struct WeightedLine {
    Vec3 centre;
    Vec3 axis;
};
std::optional<WeightedLine> FitWeightedLine(std::span<const WeightedPoint> points);

// Where the first and the last of the points lie on the weighted line through them all, first
// then last: the ends of a straight track fitted through its stops. None when no line can be
// fitted, or when the first and last lie equally far along it. Takes no memory, so that a draw of
// the uncertainty budget may make one for every track it draws.
std::optional<std::pair<Vec3, Vec3>> EndsOnFittedLine(std::span<const WeightedPoint> points);

// The distance of `point` from the line through `start` along the unit vector `direction`.
double DistanceFromLine(const Vec3& point, const Vec3& start, const Vec3& direction);
// Whether a point `distance` from its fitted line, of radius `radius`, lies off it.
bool LiesOffLine(double distance, double radius);
