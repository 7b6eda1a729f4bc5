#include "base/WeightedLineFit.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Matrix3 = std::array<std::array<double, 3>, 3>;

Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

// One turn of Jacobi's method on the pair (p, q) of a symmetric matrix, carried into the
// eigenvectors' columns `v`.
void Rotate(Matrix3& a, Matrix3& v, int p, int q) {
    if (a[p][q] == 0) {
        return;
    }
    const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
    const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
    const double c = 1 / std::sqrt(t * t + 1), s = t * c;
    for (int k = 0; k < 3; ++k) {
        const double kp = a[k][p], kq = a[k][q];
        a[k][p] = c * kp - s * kq;
        a[k][q] = s * kp + c * kq;
    }
    for (int k = 0; k < 3; ++k) {
        const double pk = a[p][k], qk = a[q][k];
        a[p][k] = c * pk - s * qk;
        a[q][k] = s * pk + c * qk;
    }
    for (int k = 0; k < 3; ++k) {
        const double kp = v[k][p], kq = v[k][q];
        v[k][p] = c * kp - s * kq;
        v[k][q] = s * kp + c * kq;
    }
}

// The unit eigenvector of a symmetric matrix's largest eigenvalue; none when the matrix is zero.
std::optional<Vec3> MainAxis(Matrix3 a) {
    const double size = std::fabs(a[0][0]) + std::fabs(a[1][1]) + std::fabs(a[2][2]);
    if (!(size > 0) || !std::isfinite(size)) {
        return std::nullopt;
    }
    Matrix3 v{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (int sweep = 0; sweep < 50; ++sweep) {
        const double off = std::fabs(a[0][1]) + std::fabs(a[0][2]) + std::fabs(a[1][2]);
        if (off <= 1e-15 * size) {
            break;
        }
        Rotate(a, v, 0, 1);
        Rotate(a, v, 0, 2);
        Rotate(a, v, 1, 2);
    }
    int largest = 0;
    for (int k = 1; k < 3; ++k) {
        if (a[k][k] > a[largest][largest]) {
            largest = k;
        }
    }
    const Vec3 axis{v[0][largest], v[1][largest], v[2][largest]};
    const double length = std::sqrt(Dot(axis, axis));
    return Scaled(axis, 1 / length);
}

Vec3 WeightedCentre(std::span<const WeightedPoint> points) {
    Vec3 sum;
    double weights = 0;
    for (const WeightedPoint& p : points) {
        const double w = FitWeight(p.radius);
        sum = {sum.x + w * p.point.x, sum.y + w * p.point.y, sum.z + w * p.point.z};
        weights += w;
    }
    return Scaled(sum, 1 / weights);
}

Matrix3 WeightedScatter(std::span<const WeightedPoint> points, const Vec3& centre) {
    Matrix3 scatter{};
    for (const WeightedPoint& p : points) {
        const Vec3 d = Minus(p.point, centre);
        const std::array<double, 3> c{d.x, d.y, d.z};
        const double w = FitWeight(p.radius);
        for (int r = 0; r < 3; ++r) {
            for (int k = 0; k < 3; ++k) {
                scatter[r][k] += w * c[r] * c[k];
            }
        }
    }
    return scatter;
}

} // namespace

double FitWeight(double radius) {
    const double r = std::max(radius, kSmallestFitRadius);
    return 1.0 / (r * r);
}

std::optional<WeightedLine> FitWeightedLine(std::span<const WeightedPoint> points) {
    if (points.empty()) {
        return std::nullopt;
    }
    const Vec3 centre = WeightedCentre(points);
    const std::optional<Vec3> axis = MainAxis(WeightedScatter(points, centre));
    if (!axis) {
        return std::nullopt;
    }
    return WeightedLine{centre, *axis};
}

std::optional<std::pair<Vec3, Vec3>> EndsOnFittedLine(std::span<const WeightedPoint> points) {
    const std::optional<WeightedLine> line = FitWeightedLine(points);
    if (!line) {
        return std::nullopt;
    }
    const Vec3 &first = points.front().point, &last = points.back().point;
    if (Dot(Minus(last, first), line->axis) == 0) {
        return std::nullopt;
    }
    const auto onLine = [&](const Vec3& p) {
        const double along = Dot(Minus(p, line->centre), line->axis);
        return Vec3{line->centre.x + line->axis.x * along, line->centre.y + line->axis.y * along,
                    line->centre.z + line->axis.z * along};
    };
    return std::pair{onLine(first), onLine(last)};
}

double DistanceFromLine(const Vec3& point, const Vec3& start, const Vec3& direction) {
    const Vec3 off = Minus(point, start);
    const Vec3 across = Minus(off, Scaled(direction, Dot(off, direction)));
    return std::sqrt(Dot(across, across));
}

bool LiesOffLine(double distance, double radius) {
    return distance > kMisfitFactor * std::max(radius, kSmallestFitRadius);
}
