#pragma once

#include "base/Matrix4.h"

#include <optional>

struct Trajectory;

// One of the uncertainty budget's draws of a back line (scene frame): where it starts, its unit
// direction, and how far along it the shooter stands at the nearest (beyond the draw's own
// farthest hole; 0 without holes).
struct DrawnLine {
    Vec3 start, back;
    double from = 0; // m
};

// The back line of draw `index` of `trajectory`, whose IN and OUT the draw placed at `in` and
// `out`: through them alone, or, with exterior points, fitted through them and the exterior
// points as the nominal line is (FitBackLine), each exterior point moved uniformly within its
// own ball. The moves come from numbers of the draw's own (a fixed seed and the draw's index),
// so that a draw's line is the same whichever thread draws it and in whatever order. None when
// the draw's points fell together.
std::optional<DrawnLine> DrawnBackLine(const Trajectory& trajectory, int index, const Vec3& in,
                                       const Vec3& out);
