#pragma once

#include "base/Matrix4.h"

#include <optional>
#include <vector>

class PosedCase;
struct Trajectory;

// The translucent cone drawn around a trajectory whose direction its uncertainty allows to be
// determined: apex at the drawn entry point, opening back against the direction of travel (toward
// where the shot came from), 2 m long, with the half-angle of the trajectory's uncertainty. The
// view and the case export both build it here, so an exported cone is the one on the screen.

inline constexpr double kUncertaintyConeLength = 2.0; // metres
inline constexpr int kUncertaintyConeSegments = 48;
inline constexpr float kUncertaintyConeAlpha = 0.25f;

// The open cone in the arrow's frame, where the direction of travel is -Z: the apex at the origin
// and the rim at z = length, its first point repeated at the end so that a fan closes.
struct UncertaintyConeShape {
    Vec3 apex;
    std::vector<Vec3> rim; // kUncertaintyConeSegments + 1 points
    double radius = 0;     // of the rim, m
};

// The cone of the trajectory's balls alone (the worst case); empty when IN and OUT lie within the
// balls' width (no direction).
std::optional<UncertaintyConeShape> UncertaintyConeOf(const Trajectory& trajectory);
// The cone of this half-angle (degrees); empty when it opens too wide to draw.
std::optional<UncertaintyConeShape> ConeWithHalfAngle(double degrees);
// The cone drawn and exported for the trajectory the user numbers `number`: its 95 % cone from
// the uncertainty budget's draws (UncertaintyCone95); empty without a direction. It is placed as
// the trajectory's arrow is (PosedTrajectory::ArrowTransform).
std::optional<UncertaintyConeShape> DrawnUncertaintyConeOf(const PosedCase& posed, int number);

// The unit normal of the cone's side, pointing away from its axis, at the rim angle (radians).
Vec3 UncertaintyConeNormal(const UncertaintyConeShape& cone, double angle);

// The rim angle (radians) of rim point `index`.
double UncertaintyConeRimAngle(int index);
