// The trunk: a lofted body of elliptical slices from the crotch to the base of the neck, with
// the muscles and bones that show through the skin added or carved.
#include "BodyParts.h"
#include "SignedDistance.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace BodyParts {

double DistanceToBox(Vec3 p, Vec3 lo, Vec3 hi) {
    const Vec3 outside = {std::max({lo.x - p.x, 0.0, p.x - hi.x}),
                          std::max({lo.y - p.y, 0.0, p.y - hi.y}),
                          std::max({lo.z - p.z, 0.0, p.z - hi.z})};
    return Length(outside);
}

double EllipseDistance(double x, double z, double zc, double a, double b) {
    const double u = x / a, v = (z - zc) / b;
    const double k0 = std::sqrt(u * u + v * v);
    const double k1 = std::sqrt(u * u / (a * a) + v * v / (b * b));
    if (k1 <= 0) {
        return -std::min(a, b);
    }
    return k0 * (k0 - 1.0) / k1;
}

} // namespace BodyParts

namespace {

using BodyParts::EllipseDistance;

// One horizontal slice of the trunk: half width and the back and front of the midline.
struct Slice {
    double y, halfWidth, back, front;
};

// Measured for an adult man of 1.75 m and scaled to 2 m: hips, the waist at the elbows, the
// chest 26 cm deep at the nipples; the back curves in at the lumbar spine.
constexpr std::array<Slice, 12> kSlices = {{
    {0.93, 0.140, 0.060, 0.185},
    {0.98, 0.168, 0.045, 0.205},
    {1.04, 0.178, 0.040, 0.212},
    {1.10, 0.162, 0.045, 0.214},
    {1.16, 0.146, 0.048, 0.220},
    {1.24, 0.137, 0.046, 0.226},
    {1.32, 0.139, 0.034, 0.236},
    {1.40, 0.143, 0.018, 0.252},
    {1.48, 0.146, 0.012, 0.262},
    {1.56, 0.146, 0.016, 0.240},
    {1.62, 0.128, 0.034, 0.205},
    {1.67, 0.075, 0.070, 0.170},
}};

// Catmull-Rom through the slice table, so the profile has no kinks.
Slice SliceAt(double y) {
    const double first = kSlices.front().y, last = kSlices.back().y;
    y = std::clamp(y, first, last);
    size_t i = 0;
    while (i + 2 < kSlices.size() && kSlices[i + 1].y < y) {
        ++i;
    }
    const Slice& s1 = kSlices[i];
    const Slice& s2 = kSlices[i + 1];
    const Slice& s0 = kSlices[i == 0 ? 0 : i - 1];
    const Slice& s3 = kSlices[std::min(i + 2, kSlices.size() - 1)];
    const double t = (y - s1.y) / (s2.y - s1.y);
    auto spline = [t](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t * t +
                      (-a + 3 * b - 3 * c + d) * t * t * t);
    };
    return {y, spline(s0.halfWidth, s1.halfWidth, s2.halfWidth, s3.halfWidth),
            spline(s0.back, s1.back, s2.back, s3.back),
            spline(s0.front, s1.front, s2.front, s3.front)};
}

double Loft(Vec3 p) {
    const Slice s = SliceAt(p.y);
    const double halfDepth = 0.5 * (s.front - s.back);
    const double across =
        EllipseDistance(p.x, p.z, 0.5 * (s.front + s.back), s.halfWidth, halfDepth);
    const double beyond = std::max(kSlices.front().y - p.y, p.y - kSlices.back().y);
    if (beyond <= 0) {
        return across;
    }
    return across > 0 ? std::hypot(across, beyond) : beyond;
}

// The muscles and bones of one side that shape the skin of the trunk.
double PairedTrunkPart(Vec3 p) {
    double d = EllipsoidDistance(p, {-0.07, 1.466, 0.216}, {0.085, 0.06, 0.046}); // pectoral
    d = SmoothUnion(
        d, RoundConeDistance(p, {-0.055, 1.66, 0.085}, {-0.185, 1.615, 0.09}, 0.040, 0.034),
        0.04); // trapezius
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.03, 1.17, 0.068}, {0.024, 0.13, 0.026}),
                    0.04); // erector spinae beside the lumbar furrow
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.128, 1.13, 0.12}, {0.032, 0.028, 0.06}),
                    0.05); // iliac crest
    d = SmoothUnion(d, SphereDistance(p, {-0.108, 1.085, 0.188}, 0.014),
                    0.03); // anterior superior iliac spine
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.072, 0.975, 0.082}, {0.082, 0.1, 0.082}),
                    0.025); // buttock
    d = SmoothUnion(
        d, RoundConeDistance(p, {-0.022, 1.644, 0.192}, {-0.17, 1.655, 0.125}, 0.0125, 0.014),
        0.02);                                                                     // clavicle
    d = SmoothUnion(d, SphereDistance(p, {-0.101, 1.456, 0.2625}, 0.0065), 0.008); // nipple
    return d;
}

// The shoulder blade: a plate about 1 cm proud of the back within its outline, so that it
// follows the curve of the ribs instead of standing out as a ball.
double ScapulaPlate(Vec3 p, double loft) {
    const double outline = EllipseDistance(p.x + 0.078, p.y, 1.462, 0.048, 0.072);
    const double plate = SmoothIntersection(loft - 0.01, outline, 0.025);
    return SmoothIntersection(plate, p.z - 0.07, 0.02);
}

} // namespace

namespace BodyParts {

double Trunk(Vec3 p) {
    if (const double far = DistanceToBox(p, {-0.2, 0.86, -0.02}, {0.2, 1.72, 0.27});
        far > kFarFromPart) {
        return far;
    }
    const double loft = Loft(p);
    double d =
        SmoothUnion(loft, std::min(ScapulaPlate(p, loft), ScapulaPlate(Mirrored(p), loft)), 0.02);
    d = SmoothUnion(d, RoundConeDistance(p, {-0.17, 1.605, 0.1}, {0.17, 1.605, 0.1}, 0.05, 0.05),
                    0.06); // shoulder girdle
    // The small fillet across the midline leaves the natal cleft between the buttocks.
    const double paired = SmoothUnion(PairedTrunkPart(p), PairedTrunkPart(Mirrored(p)), 0.02);
    d = SmoothUnion(d, paired, 0.035);
    // The spine furrow down the back and the notch above the breastbone.
    d = SmoothIntersection(
        d, -RoundConeDistance(p, {0, 1.38, -0.006}, {0, 1.10, 0.026}, 0.011, 0.011), 0.012);
    d = SmoothIntersection(d, -SphereDistance(p, {0, 1.648, 0.208}, 0.014), 0.01);
    // The navel.
    d = SmoothIntersection(d, -SphereDistance(p, {0, 1.200, 0.232}, 0.008), 0.006);
    return d;
}

} // namespace BodyParts
