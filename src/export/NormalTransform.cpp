#include "export/NormalTransform.h"

#include <cmath>

Vec3 UnitOr(const Vec3& v, const Vec3& fallback) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0) || !std::isfinite(length)) {
        return fallback;
    }
    return {v.x / length, v.y / length, v.z / length};
}

NormalTransform::NormalTransform(const Matrix4& placement) {
    const auto a = [&placement](int row, int column) { return placement.At(row, column); };
    // The cofactor matrix equals det * inverse-transpose; it exists even when det is 0.
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const int r1 = (row + 1) % 3, r2 = (row + 2) % 3;
            const int c1 = (column + 1) % 3, c2 = (column + 2) % 3;
            m_[row * 3 + column] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
        }
    }
    const double det = a(0, 0) * m_[0] + a(0, 1) * m_[1] + a(0, 2) * m_[2];
    if (det < 0) {
        for (double& value : m_) {
            value = -value;
        }
    }
}

Vec3 NormalTransform::Apply(const Vec3& n, const Vec3& fallback) const {
    return UnitOr({m_[0] * n.x + m_[1] * n.y + m_[2] * n.z, m_[3] * n.x + m_[4] * n.y + m_[5] * n.z,
                   m_[6] * n.x + m_[7] * n.y + m_[8] * n.z},
                  fallback);
}
