#pragma once

#include "base/LargeArrays.h"
#include "base/Vec3f.h"

#include <algorithm>
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

// The bounds of a run of `count` items, widened by widenItem(bounds, i) for each item i in
// order, on every core: the first item's bounds start from first(), every other run's from empty
// bounds. Each core's part is cut into a few runs walked side by side, each with bounds of its
// own, so that one item's comparisons need not wait for those of the item before (walked one
// after another they take twice the time); merging every run in order gives the bounds of one
// pass over the items, bit for bit.
template <typename First, typename WidenItem>
StrictBounds StrictBoundsInParts(std::size_t count, const First& first,
                                 const WidenItem& widenItem) {
    constexpr std::size_t kRuns = 4;
    const std::size_t parts = PartsFor(count);
    std::vector<StrictBounds> runBounds(parts * kRuns, StrictBounds::Empty());
    ForEachPart(count, parts, [&](std::size_t part, std::size_t begin, std::size_t end) {
        std::array<StrictBounds, kRuns> runs;
        runs.fill(StrictBounds::Empty());
        if (part == 0) {
            runs[0] = first();
        }
        // Run r holds [begin + r * length, begin + (r + 1) * length); the last also the rest.
        const std::size_t length = (end - begin) / kRuns;
        for (std::size_t i = begin; i < begin + length; ++i) {
            for (std::size_t r = 0; r < kRuns; ++r) {
                widenItem(runs[r], i + r * length);
            }
        }
        for (std::size_t i = begin + kRuns * length; i < end; ++i) {
            widenItem(runs[kRuns - 1], i);
        }
        std::copy(runs.begin(), runs.end(), runBounds.begin() + static_cast<long>(part * kRuns));
    });
    StrictBounds bounds = runBounds[0];
    for (std::size_t run = 1; run < runBounds.size(); ++run) {
        bounds.Widen(runBounds[run]);
    }
    return bounds;
}
