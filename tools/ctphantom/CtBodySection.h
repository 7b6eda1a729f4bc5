#pragma once

#include "base/Matrix4.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// The body's outline in one axial plane: the segments where the skin's triangles cross the plane
// y = height, in (x, z). Each segment runs from where a triangle's edge goes down through the
// plane to where one goes up, so that the segments of a closed outward-facing surface chain into
// closed curves of one turning sense: a point is inside where their winding number is not zero.
class CtBodySection {
public:
    using Triangle = std::array<Vec3, 3>;

    CtBodySection() = default;
    // `cell` (cm) is the size of the buckets the segments are kept in for the queries below.
    CtBodySection(const std::vector<Triangle>& triangles, double height, double cell);

    double Height() const { return height_; }
    bool Empty() const { return segments_.empty(); }

    // Where the outline crosses the line of constant z: x and +1 or -1, sorted by x. A point on
    // that line is inside where the signs of the crossings at smaller x do not add to zero.
    void Crossings(double z, std::vector<std::pair<double, int>>& crossings) const;
    bool Inside(double x, double z) const;
    // Whether some point of the outline lies closer than `distance` (at most the cell size).
    bool Within(double x, double z, double distance) const;

private:
    struct Segment {
        double ax, az, bx, bz;
    };
    int Column(double x) const;
    int Row(double z) const;

    double height_ = 0;
    std::vector<Segment> segments_;
    double cell_ = 1, minX_ = 0, minZ_ = 0;
    int columns_ = 0, rows_ = 0;
    std::vector<std::vector<uint32_t>> cells_;  // the segments whose box meets each cell
    std::vector<std::vector<uint32_t>> rowsOf_; // the segments whose z range meets each row
};
