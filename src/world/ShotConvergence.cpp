#include "world/ShotConvergence.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

using Matrix3 = std::array<std::array<double, 3>, 3>;

std::array<double, 3> Components(const Vec3& v) {
    return {v.x, v.y, v.z};
}

// M = I - u u^T, the projection onto the plane across the line.
Matrix3 AcrossLine(const Vec3& u) {
    const std::array<double, 3> c = Components(u);
    Matrix3 m{};
    for (int r = 0; r < 3; ++r) {
        for (int k = 0; k < 3; ++k) {
            m[r][k] = (r == k ? 1.0 : 0.0) - c[r] * c[k];
        }
    }
    return m;
}

std::array<double, 3> Times(const Matrix3& m, const std::array<double, 3>& v) {
    std::array<double, 3> result{};
    for (int r = 0; r < 3; ++r) {
        result[r] = m[r][0] * v[0] + m[r][1] * v[1] + m[r][2] * v[2];
    }
    return result;
}

// The smallest eigenvalue of a symmetric 3x3 matrix (the closed form over the characteristic
// cubic's trigonometric roots).
double SmallestEigenvalue(const Matrix3& a) {
    const double p1 = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
    const double q = (a[0][0] + a[1][1] + a[2][2]) / 3;
    if (p1 == 0) {
        return std::min({a[0][0], a[1][1], a[2][2]});
    }
    const double p2 = (a[0][0] - q) * (a[0][0] - q) + (a[1][1] - q) * (a[1][1] - q) +
                      (a[2][2] - q) * (a[2][2] - q) + 2 * p1;
    const double p = std::sqrt(p2 / 6);
    Matrix3 b{};
    for (int r = 0; r < 3; ++r) {
        for (int k = 0; k < 3; ++k) {
            b[r][k] = (a[r][k] - (r == k ? q : 0.0)) / p;
        }
    }
    const double det = b[0][0] * (b[1][1] * b[2][2] - b[1][2] * b[2][1]) -
                       b[0][1] * (b[1][0] * b[2][2] - b[1][2] * b[2][0]) +
                       b[0][2] * (b[1][0] * b[2][1] - b[1][1] * b[2][0]);
    const double phi = std::acos(std::clamp(det / 2, -1.0, 1.0)) / 3;
    return q + 2 * p * std::cos(phi + 2 * std::numbers::pi / 3);
}

// Solves a x = b by Cramer's rule (the matrix is known to be well conditioned here).
std::array<double, 3> Solve(const Matrix3& a, const std::array<double, 3>& b) {
    const auto det = [](const Matrix3& m) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    const double whole = det(a);
    std::array<double, 3> x{};
    for (int column = 0; column < 3; ++column) {
        Matrix3 replaced = a;
        for (int r = 0; r < 3; ++r) {
            replaced[r][column] = b[r];
        }
        x[column] = det(replaced) / whole;
    }
    return x;
}

// Two lines at an angle a give a smallest eigenvalue of 1 - cos a per pair: 0.1 degrees gives
// about 1.5e-6.
constexpr double kParallelPerLine = 1.5e-6;

} // namespace

Status ConvergeLines(const std::vector<BackLine>& lines, Convergence& result) {
    if (lines.size() < 2) {
        return Status::Failure("a point of convergence needs the back lines of two or more "
                               "trajectories");
    }
    Matrix3 sum{};
    std::array<double, 3> rhs{};
    for (const BackLine& line : lines) {
        const Matrix3 m = AcrossLine(line.direction);
        const std::array<double, 3> projected = Times(m, Components(line.start));
        for (int r = 0; r < 3; ++r) {
            rhs[r] += projected[r];
            for (int k = 0; k < 3; ++k) {
                sum[r][k] += m[r][k];
            }
        }
    }
    const double smallest = SmallestEigenvalue(sum);
    if (!(smallest > kParallelPerLine * static_cast<double>(lines.size() - 1))) {
        return Status::Failure("the back lines are parallel (within about 0.1 degrees): no "
                               "point lies nearer to all of them than another");
    }
    const std::array<double, 3> x = Solve(sum, rhs);
    result.point = {x[0], x[1], x[2]};
    result.miss.clear();
    for (const BackLine& line : lines) {
        const std::array<double, 3> off =
            Times(AcrossLine(line.direction), Components(Minus(result.point, line.start)));
        result.miss.push_back(std::sqrt(off[0] * off[0] + off[1] * off[1] + off[2] * off[2]));
    }
    return Status::Ok();
}
