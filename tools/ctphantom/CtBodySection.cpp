#include "CtBodySection.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Where the edge from p to q meets the plane, in (x, z).
std::pair<double, double> EdgePoint(const Vec3& p, const Vec3& q, double y) {
    const double t = (y - p.y) / (q.y - p.y);
    return {p.x + t * (q.x - p.x), p.z + t * (q.z - p.z)};
}

double SquaredDistanceToSegment(double x, double z, double ax, double az, double bx, double bz) {
    const double dx = bx - ax, dz = bz - az;
    const double length2 = dx * dx + dz * dz;
    double t = length2 > 0 ? ((x - ax) * dx + (z - az) * dz) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = ax + t * dx - x, ez = az + t * dz - z;
    return ex * ex + ez * ez;
}

} // namespace

CtBodySection::CtBodySection(const std::vector<Triangle>& triangles, double height, double cell)
    : height_(height), cell_(cell) {
    for (const Triangle& triangle : triangles) {
        std::pair<double, double> down{}, up{};
        int found = 0;
        for (int e = 0; e < 3; ++e) {
            const Vec3& p = triangle[e];
            const Vec3& q = triangle[(e + 1) % 3];
            const bool pAbove = p.y >= height, qAbove = q.y >= height;
            if (pAbove == qAbove)
                continue;
            (pAbove ? down : up) = EdgePoint(p, q, height);
            ++found;
        }
        if (found == 2)
            segments_.push_back({down.first, down.second, up.first, up.second});
    }
    if (segments_.empty())
        return;
    double maxX = -std::numeric_limits<double>::max(), maxZ = maxX;
    minX_ = minZ_ = std::numeric_limits<double>::max();
    for (const Segment& s : segments_) {
        minX_ = std::min({minX_, s.ax, s.bx});
        minZ_ = std::min({minZ_, s.az, s.bz});
        maxX = std::max({maxX, s.ax, s.bx});
        maxZ = std::max({maxZ, s.az, s.bz});
    }
    columns_ = static_cast<int>((maxX - minX_) / cell_) + 1;
    rows_ = static_cast<int>((maxZ - minZ_) / cell_) + 1;
    cells_.resize(static_cast<size_t>(columns_) * rows_);
    rowsOf_.resize(rows_);
    for (uint32_t n = 0; n < segments_.size(); ++n) {
        const Segment& s = segments_[n];
        const int c0 = Column(std::min(s.ax, s.bx)), c1 = Column(std::max(s.ax, s.bx));
        const int r0 = Row(std::min(s.az, s.bz)), r1 = Row(std::max(s.az, s.bz));
        for (int r = r0; r <= r1; ++r) {
            rowsOf_[r].push_back(n);
            for (int c = c0; c <= c1; ++c)
                cells_[static_cast<size_t>(r) * columns_ + c].push_back(n);
        }
    }
}

int CtBodySection::Column(double x) const {
    return std::clamp(static_cast<int>(std::floor((x - minX_) / cell_)), 0, columns_ - 1);
}

int CtBodySection::Row(double z) const {
    return std::clamp(static_cast<int>(std::floor((z - minZ_) / cell_)), 0, rows_ - 1);
}

void CtBodySection::Crossings(double z, std::vector<std::pair<double, int>>& crossings) const {
    crossings.clear();
    if (segments_.empty() || z < minZ_ || z > minZ_ + rows_ * cell_)
        return;
    for (const uint32_t n : rowsOf_[Row(z)]) {
        const Segment& s = segments_[n];
        // Half open, so that a curve passing through the line at a segment's end counts once.
        if ((s.az <= z) == (s.bz <= z))
            continue;
        const double x = s.ax + (z - s.az) * (s.bx - s.ax) / (s.bz - s.az);
        crossings.emplace_back(x, s.bz > s.az ? 1 : -1);
    }
    std::sort(crossings.begin(), crossings.end());
}

bool CtBodySection::Inside(double x, double z) const {
    std::vector<std::pair<double, int>> crossings;
    Crossings(z, crossings);
    int winding = 0;
    for (const auto& [at, sign] : crossings)
        if (at < x)
            winding += sign;
    return winding != 0;
}

bool CtBodySection::Within(double x, double z, double distance) const {
    if (segments_.empty())
        return false;
    const int c = Column(x), r = Row(z);
    const double limit = distance * distance;
    for (int row = std::max(r - 1, 0); row <= std::min(r + 1, rows_ - 1); ++row)
        for (int column = std::max(c - 1, 0); column <= std::min(c + 1, columns_ - 1); ++column)
            for (const uint32_t n : cells_[static_cast<size_t>(row) * columns_ + column]) {
                const Segment& s = segments_[n];
                if (SquaredDistanceToSegment(x, z, s.ax, s.az, s.bx, s.bz) < limit)
                    return true;
            }
    return false;
}
