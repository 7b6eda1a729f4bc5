#include "world/RayConvergence.h"

#include "base/Radians.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A foot within a millimetre of a ray's start counts as its start.
constexpr double kAtStart = 0.001; // m
constexpr int kMostSteps = 200;

using Matrix3 = std::array<std::array<double, 3>, 3>;

Vec3 Plus(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

Vec3 RayStart(const BackRay& ray) {
    return Plus(ray.start, Scaled(ray.direction, ray.from));
}

// How far beyond the ray's start the point's foot on its line falls (negative: before it).
double Beyond(const BackRay& ray, const Vec3& point) {
    return Dot(Minus(point, RayStart(ray)), ray.direction);
}

double SquaredDistance(const BackRay& ray, const Vec3& point) {
    const Vec3 off = Minus(point, RayStart(ray));
    const double beyond = std::max(0.0, Dot(off, ray.direction));
    return Dot(off, off) - beyond * beyond;
}

double Sum(const std::vector<BackRay>& rays, const Vec3& point) {
    double sum = 0;
    for (const BackRay& ray : rays) {
        sum += SquaredDistance(ray, point);
    }
    return sum;
}

double Determinant(const Matrix3& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The Newton step -H^-1 g of the sum at `point`; half the gradient's way when H is singular.
Vec3 NewtonStep(const std::vector<BackRay>& rays, const Vec3& point) {
    Matrix3 h{};
    std::array<double, 3> g{};
    for (const BackRay& ray : rays) {
        const Vec3 off = Minus(point, RayStart(ray));
        const double beyond = Dot(off, ray.direction);
        const bool onLine = beyond > 0;
        const std::array<double, 3> u{ray.direction.x, ray.direction.y, ray.direction.z};
        const std::array<double, 3> o{off.x, off.y, off.z};
        for (int r = 0; r < 3; ++r) {
            g[r] += o[r] - (onLine ? beyond * u[r] : 0.0);
            for (int k = 0; k < 3; ++k) {
                h[r][k] += (r == k ? 1.0 : 0.0) - (onLine ? u[r] * u[k] : 0.0);
            }
        }
    }
    const double whole = Determinant(h);
    if (!(std::fabs(whole) > 1e-12)) {
        const double scale = -0.5 / double(rays.size());
        return {g[0] * scale, g[1] * scale, g[2] * scale};
    }
    std::array<double, 3> x{};
    for (int column = 0; column < 3; ++column) {
        Matrix3 replaced = h;
        for (int r = 0; r < 3; ++r) {
            replaced[r][column] = -g[r];
        }
        x[column] = Determinant(replaced) / whole;
    }
    return {x[0], x[1], x[2]};
}

Vec3 NearestPoint(const std::vector<BackRay>& rays, const Vec3& start) {
    Vec3 point = start;
    double value = Sum(rays, point);
    for (int step = 0; step < kMostSteps; ++step) {
        const Vec3 move = NewtonStep(rays, point);
        double scale = 1;
        Vec3 next = Plus(point, move);
        double nextValue = Sum(rays, next);
        // The sum is convex and smooth: halving the step finds a decrease unless at the bottom.
        while (nextValue > value && scale > 1e-9) {
            scale /= 2;
            next = Plus(point, Scaled(move, scale));
            nextValue = Sum(rays, next);
        }
        if (nextValue > value) {
            break;
        }
        const double moved = scale * std::sqrt(Dot(move, move));
        point = next;
        value = nextValue;
        if (moved < 1e-12) {
            break;
        }
    }
    return point;
}

double Tolerance(const BackRay& ray, double along) {
    if (!ray.halfAngle || *ray.halfAngle >= 89.0) {
        return kConvergenceMiss;
    }
    return std::max(kConvergenceMiss, along * std::tan(DegreesToRadians(*ray.halfAngle)));
}

} // namespace

double RayDistance(const BackRay& a, const BackRay& b) {
    const Vec3 w0 = Minus(RayStart(a), RayStart(b));
    const double cosine = Dot(a.direction, b.direction);
    const double d = Dot(a.direction, w0), e = Dot(b.direction, w0);
    const auto distance = [&](double s, double t) {
        const Vec3 gap = Minus(Plus(w0, Scaled(a.direction, s)), Scaled(b.direction, t));
        return std::sqrt(Dot(gap, gap));
    };
    // The convex distance is least inside the quarter plane s, t >= 0 or on one of its edges.
    double least =
        std::min({distance(0, 0), distance(0, std::max(0.0, e)), distance(std::max(0.0, -d), 0)});
    const double across = 1 - cosine * cosine;
    if (across > 1e-12) {
        const double s = (cosine * e - d) / across, t = (e - cosine * d) / across;
        if (s >= 0 && t >= 0) {
            least = std::min(least, distance(s, t));
        }
    }
    return least;
}

RayConvergence ConvergeRays(const std::vector<BackRay>& rays, const Vec3& linesPoint) {
    RayConvergence result;
    result.point = NearestPoint(rays, linesPoint);
    result.close = true;
    for (const BackRay& ray : rays) {
        const double beyond = Beyond(ray, result.point);
        const bool atStart = beyond <= kAtStart;
        const double along = ray.from + std::max(0.0, beyond);
        result.miss.push_back(std::sqrt(std::max(0.0, SquaredDistance(ray, result.point))));
        result.along.push_back(along);
        result.tolerance.push_back(Tolerance(ray, along));
        result.atStart.push_back(atStart);
        result.close = result.close && !atStart && result.miss.back() <= result.tolerance.back();
    }
    for (size_t i = 0; i < rays.size(); ++i) {
        for (size_t j = i + 1; j < rays.size(); ++j) {
            result.gaps.push_back({i, j, RayDistance(rays[i], rays[j])});
        }
    }
    return result;
}
