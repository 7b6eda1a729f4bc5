#include "SignedDistance.h"

#include <algorithm>
#include <cmath>

double SphereDistance(Vec3 p, Vec3 centre, double radius) {
    return Length(p - centre) - radius;
}

double RoundConeDistance(Vec3 p, Vec3 a, Vec3 b, double ra, double rb) {
    const Vec3 ba = b - a;
    const double l2 = Dot(ba, ba);
    const double rr = ra - rb;
    const double a2 = l2 - rr * rr;
    const Vec3 pa = p - a;
    const double y = Dot(pa, ba);
    const double z = y - l2;
    const Vec3 w = pa * l2 - ba * y;
    const double x2 = Dot(w, w);
    const double y2 = y * y * l2;
    const double z2 = z * z * l2;
    const double k = (rr > 0 ? 1.0 : (rr < 0 ? -1.0 : 0.0)) * rr * rr * x2;
    const double signZ = z > 0 ? 1.0 : (z < 0 ? -1.0 : 0.0);
    const double signY = y > 0 ? 1.0 : (y < 0 ? -1.0 : 0.0);
    if (signZ * a2 * z2 > k) {
        return std::sqrt(x2 + z2) / l2 - rb;
    }
    if (signY * a2 * y2 < k) {
        return std::sqrt(x2 + y2) / l2 - ra;
    }
    return (std::sqrt(x2 * a2 / l2) + y * rr) / l2 - ra;
}

double EllipsoidDistance(Vec3 p, Vec3 centre, Vec3 radii) {
    const Vec3 q = p - centre;
    const Vec3 scaled = {q.x / radii.x, q.y / radii.y, q.z / radii.z};
    const Vec3 scaled2 = {scaled.x / radii.x, scaled.y / radii.y, scaled.z / radii.z};
    const double k0 = Length(scaled);
    const double k1 = Length(scaled2);
    if (k1 <= 0) {
        return -std::min(radii.x, std::min(radii.y, radii.z));
    }
    return k0 * (k0 - 1.0) / k1;
}

double RoundBoxDistance(Vec3 p, Vec3 centre, Vec3 halfExtents, double rounding) {
    const Vec3 d = p - centre;
    const Vec3 q = {std::fabs(d.x) - halfExtents.x, std::fabs(d.y) - halfExtents.y,
                    std::fabs(d.z) - halfExtents.z};
    const Vec3 outside = {std::max(q.x, 0.0), std::max(q.y, 0.0), std::max(q.z, 0.0)};
    const double inside = std::min(std::max(q.x, std::max(q.y, q.z)), 0.0);
    return Length(outside) + inside - rounding;
}

double SmoothUnion(double a, double b, double k) {
    if (k <= 0) {
        return std::min(a, b);
    }
    const double h = std::max(k - std::fabs(a - b), 0.0) / k;
    return std::min(a, b) - h * h * k * 0.25;
}

double SmoothIntersection(double a, double b, double k) {
    return -SmoothUnion(-a, -b, k);
}

double SmoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}
