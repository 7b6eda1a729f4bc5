// The right arm with its hand and the right leg with its foot; the left ones are their mirror
// images. The hand hangs palm forward with the thumb outward and the fingers a little spread.
#include "BodyParts.h"
#include "BodyShape.h"
#include "SignedDistance.h"

#include <algorithm>

namespace {

using BodyShape::kRightElbow;
using BodyShape::kRightShoulder;
using BodyShape::kRightWrist;

struct Finger {
    Vec3 base, middle, tip;
    double radius;
};

// Index, middle, ring and little finger, each bent a little toward the palm.
constexpr Finger kFingers[] = {
    {{-0.2765, 0.878, 0.109}, {-0.2855, 0.832, 0.113}, {-0.2975, 0.790, 0.119}, 0.0095},
    {{-0.2575, 0.874, 0.109}, {-0.2600, 0.824, 0.114}, {-0.2630, 0.776, 0.120}, 0.0098},
    {{-0.2385, 0.876, 0.109}, {-0.2345, 0.829, 0.113}, {-0.2290, 0.785, 0.119}, 0.0093},
    {{-0.2205, 0.882, 0.108}, {-0.2095, 0.843, 0.111}, {-0.1975, 0.809, 0.116}, 0.0083},
};

double Hand(Vec3 p) {
    if (const double far = BodyParts::DistanceToBox(p, {-0.33, 0.76, 0.07}, {-0.18, 1.0, 0.17});
        far > BodyParts::kFarFromPart) {
        return far;
    }
    double d = RoundBoxDistance(p, {-0.250, 0.926, 0.106}, {0.034, 0.044, 0.005}, 0.0115); // palm
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.266, 0.944, 0.122}, {0.02, 0.03, 0.012}),
                    0.015); // ball of the thumb
    double fingers = 1e9;
    for (const Finger& f : kFingers) {
        const double finger =
            SmoothUnion(RoundConeDistance(p, f.base, f.middle, f.radius * 1.08, f.radius),
                        RoundConeDistance(p, f.middle, f.tip, f.radius, f.radius * 0.88), 0.006);
        fingers = SmoothUnion(fingers, finger, 0.018);
    }
    d = SmoothUnion(d, fingers, 0.014);
    const Vec3 thumb[] = {{-0.270, 0.958, 0.114},
                          {-0.294, 0.916, 0.132},
                          {-0.306, 0.886, 0.146},
                          {-0.312, 0.862, 0.152}};
    const double thumbRadius[] = {0.0155, 0.0125, 0.0115, 0.0102};
    for (int i = 0; i < 3; ++i) {
        d = SmoothUnion(
            d, RoundConeDistance(p, thumb[i], thumb[i + 1], thumbRadius[i], thumbRadius[i + 1]),
            0.01);
    }
    return d;
}

double Foot(Vec3 p) {
    double d = SphereDistance(p, {-0.090, 0.042, 0.076}, 0.041); // heel
    d = SmoothUnion(
        d, RoundConeDistance(p, {-0.088, 0.07, 0.112}, {-0.094, 0.028, 0.262}, 0.044, 0.03),
        0.04); // instep
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.095, 0.026, 0.245}, {0.05, 0.026, 0.052}),
                    0.03);                                                      // ball of the foot
    d = SmoothUnion(d, SphereDistance(p, {-0.125, 0.083, 0.076}, 0.014), 0.02); // outer ankle
    d = SmoothUnion(d, SphereDistance(p, {-0.058, 0.097, 0.088}, 0.014), 0.02); // inner ankle
    // The toes, the big toe on the inner side, each shorter outward.
    struct Toe {
        Vec3 base, tip;
        double radius;
    };
    constexpr Toe kToes[] = {{{-0.064, 0.026, 0.272}, {-0.062, 0.017, 0.322}, 0.0135},
                             {{-0.084, 0.022, 0.274}, {-0.086, 0.012, 0.314}, 0.0095},
                             {{-0.100, 0.020, 0.268}, {-0.103, 0.011, 0.304}, 0.009},
                             {{-0.114, 0.019, 0.260}, {-0.118, 0.011, 0.293}, 0.0085},
                             {{-0.127, 0.018, 0.250}, {-0.132, 0.010, 0.279}, 0.008}};
    for (const Toe& t : kToes) {
        d = SmoothUnion(d, RoundConeDistance(p, t.base, t.tip, t.radius, t.radius * 0.9), 0.008);
    }
    // The arch: the inner side of the sole rises off the ground.
    return SmoothIntersection(
        d, -EllipsoidDistance(p, {-0.052, -0.006, 0.17}, {0.022, 0.022, 0.075}), 0.012);
}

} // namespace

namespace BodyParts {

double UpperArm(Vec3 p) {
    if (const double far = DistanceToBox(p, {-0.29, 1.22, 0.03}, {-0.13, 1.68, 0.19});
        far > kFarFromPart) {
        return far;
    }
    double d = RoundConeDistance(p, kRightShoulder, kRightElbow, 0.046, 0.039);
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.221, 1.562, 0.109}, {0.05, 0.088, 0.056}),
                    0.03); // deltoid
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.203, 1.40, 0.126}, {0.036, 0.085, 0.032}),
                    0.03); // biceps
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.206, 1.44, 0.084}, {0.04, 0.1, 0.034}),
                    0.03); // triceps
    return d;
}

double Forearm(Vec3 p) {
    if (const double far = DistanceToBox(p, {-0.33, 0.76, 0.03}, {-0.15, 1.32, 0.17});
        far > kFarFromPart) {
        return far;
    }
    double d = RoundConeDistance(p, kRightElbow, kRightWrist, 0.039, 0.025);
    d = SmoothUnion(d, SphereDistance(p, kRightElbow + Vec3{0.0, -0.006, -0.026}, 0.02),
                    0.02); // point of the elbow
    const Vec3 belly = kRightElbow + (kRightWrist - kRightElbow) * 0.27;
    d = SmoothUnion(d, EllipsoidDistance(p, belly, {0.046, 0.09, 0.035}),
                    0.03); // forearm muscles
    d = SmoothUnion(d, EllipsoidDistance(p, kRightWrist, {0.031, 0.02, 0.02}), 0.02); // wrist
    return SmoothUnion(d, Hand(p), 0.02);
}

double Leg(Vec3 p) {
    if (const double far = DistanceToBox(p, {-0.2, -0.01, 0.0}, {0.0, 1.12, 0.36});
        far > kFarFromPart) {
        return far;
    }
    constexpr Vec3 kHip = BodyShape::kRightHip;
    constexpr Vec3 kKnee = BodyShape::kRightKnee;
    constexpr Vec3 kAnkle = {-0.090, 0.092, 0.086};
    double d = RoundConeDistance(p, kHip, kKnee, 0.085, 0.05); // thigh
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.104, 0.76, 0.148}, {0.066, 0.19, 0.058}),
                    0.05); // quadriceps
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.062, 0.85, 0.118}, {0.045, 0.11, 0.055}),
                    0.04); // adductors
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.096, 0.80, 0.086}, {0.062, 0.15, 0.055}),
                    0.05);                                                       // hamstrings
    d = SmoothUnion(d, SphereDistance(p, kKnee + Vec3{0, 0.01, 0}, 0.05), 0.04); // knee
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.088, 0.568, 0.164}, {0.024, 0.028, 0.012}),
                    0.018);                                                     // kneecap
    d = SmoothUnion(d, RoundConeDistance(p, kKnee, kAnkle, 0.048, 0.03), 0.03); // shin
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.088, 0.40, 0.083}, {0.048, 0.115, 0.045}),
                    0.04); // calf
    d = SmoothUnion(d, RoundConeDistance(p, {-0.09, 0.30, 0.07}, {-0.09, 0.07, 0.05}, 0.022, 0.017),
                    0.03); // Achilles tendon
    // The foot reaches a little below the ground so that its sole is cut flat.
    return SmoothUnion(d, Foot({p.x, p.y + 0.004, p.z}), 0.03);
}

} // namespace BodyParts
