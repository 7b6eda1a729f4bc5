#pragma once

#include "base/Matrix4.h"

#include <array>

// Carries surface normals through a placement whose positions are baked into the written
// vertices: by the inverse-transpose of its linear part, so that a stretched body or ellipsoid
// keeps its normals perpendicular to its surface, then scaled back to unit length.
class NormalTransform {
public:
    explicit NormalTransform(const Matrix4& placement);

    // The unit normal; `fallback` (a unit vector) when the normal has no direction (a zero
    // normal of a degenerate triangle, or a placement that flattens the surface).
    Vec3 Apply(const Vec3& normal, const Vec3& fallback = {0, 0, 1}) const;

private:
    // Row-major 3x3: the cofactors of the linear part, signed so that a mirroring placement
    // keeps the normals on the side of the surface they were on.
    std::array<double, 9> m_{};
};

// The unit vector along `v`, or `fallback` when `v` has no usable length.
Vec3 UnitOr(const Vec3& v, const Vec3& fallback);
