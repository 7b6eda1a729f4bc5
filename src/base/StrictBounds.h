#pragma once

#include "base/LargeArrays.h"
#include "base/Vec3f.h"

#include <array>
#include <cstddef>
#include <limits>
#include <vector>

// The smallest and largest value on each axis of a run of points, by the rule of the model's
// boxes: the first point sets them, even to a NaN, which then stays; a later point widens them
// only where it lies strictly beyond, so that a later NaN never widens them and of equal values
// (0 and -0) the first one met stays.
struct StrictBounds {
    std::array<float, 3> min{}, max{};

    static StrictBounds At(const Vec3f& p) { return {{p.x, p.y, p.z}, {p.x, p.y, p.z}}; }

    // Bounds no point lies strictly beyond: where a later part of a run starts.
    static StrictBounds Empty() {
        constexpr float kInfinity = std::numeric_limits<float>::infinity();
        return {{kInfinity, kInfinity, kInfinity}, {-kInfinity, -kInfinity, -kInfinity}};
    }

    void Widen(const Vec3f& p) {
        for (int axis = 0; axis < 3; ++axis) {
            if (p[axis] < min[axis]) {
                min[axis] = p[axis];
            }
            if (p[axis] > max[axis]) {
                max[axis] = p[axis];
            }
        }
    }

    // Widens by the bounds of a later part of the run.
    void Widen(const StrictBounds& later) {
        for (int axis = 0; axis < 3; ++axis) {
            if (later.min[axis] < min[axis]) {
                min[axis] = later.min[axis];
            }
            if (later.max[axis] > max[axis]) {
                max[axis] = later.max[axis];
            }
        }
    }
};

// The bounds of a run of `count` items, widened by widen(bounds, begin, end) over parts of it on
// every core: the first part starts from first(), the later ones from empty bounds, and merging
// the parts in order gives the bounds of one pass over the run, bit for bit.
template <typename First, typename WidenRange>
StrictBounds StrictBoundsInParts(std::size_t count, const First& first, const WidenRange& widen) {
    const std::size_t parts = PartsFor(count);
    std::vector<StrictBounds> partBounds(parts);
    ForEachPart(count, parts, [&](std::size_t part, std::size_t begin, std::size_t end) {
        partBounds[part] = part == 0 ? first() : StrictBounds::Empty();
        widen(partBounds[part], begin, end);
    });
    StrictBounds bounds = partBounds[0];
    for (std::size_t part = 1; part < parts; ++part) {
        bounds.Widen(partBounds[part]);
    }
    return bounds;
}
