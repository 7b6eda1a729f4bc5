#include "BodyShape.h"

#include "SignedDistance.h"

#include <algorithm>

// Every limb is described on the right side (x < 0) and mirrored for the left.
namespace {

// A part farther than this from its box cannot change the field near the skin (the widest
// fillet is narrower), so its distance to the box stands in for it.
constexpr double kFarFromPart = 0.08;

double DistanceToBox(Vec3 p, Vec3 lo, Vec3 hi) {
    const Vec3 outside = {std::max({lo.x - p.x, 0.0, p.x - hi.x}),
                          std::max({lo.y - p.y, 0.0, p.y - hi.y}),
                          std::max({lo.z - p.z, 0.0, p.z - hi.z})};
    return Length(outside);
}

using BodyShape::kRightElbow;
using BodyShape::kRightShoulder;

constexpr Vec3 kRightWrist = {-0.245, 1.025, 0.112};
constexpr Vec3 kRightHip = {-0.09, 0.98, 0.12};
constexpr Vec3 kRightKnee = {-0.09, 0.55, 0.125};
constexpr Vec3 kRightAnkle = {-0.085, 0.09, 0.10};

// The muscles of one side of the trunk.
double PairedTorsoPart(Vec3 p) {
    double d =
        RoundConeDistance(p, {-0.03, 1.46, 0.19}, {-0.125, 1.50, 0.16}, 0.05, 0.042); // pectoral
    d = SmoothUnion(d, RoundConeDistance(p, {-0.04, 1.50, 0.05}, {-0.13, 1.53, 0.065}, 0.045, 0.04),
                    0.05); // shoulder blade
    d = SmoothUnion(d,
                    RoundConeDistance(p, {-0.05, 1.675, 0.10}, {-0.17, 1.62, 0.095}, 0.045, 0.04),
                    0.04); // trapezius
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.108, 0.96, 0.12}, {0.05, 0.09, 0.075}),
                    0.04); // hip
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.068, 0.95, 0.077}, {0.075, 0.095, 0.075}),
                    0.04); // buttock
    return d;
}

// Chest, belly, pelvis and neck along the midline, with the paired muscles joined across it.
double Torso(Vec3 p) {
    constexpr double kBlend = 0.06;
    double d = EllipsoidDistance(p, {0, 1.40, 0.13}, {0.145, 0.26, 0.122}); // thorax
    d = SmoothUnion(d,
                    RoundConeDistance(p, {-0.17, 1.585, 0.105}, {0.17, 1.585, 0.105}, 0.05, 0.05),
                    kBlend); // shoulder girdle
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.17, 0.135}, {0.145, 0.19, 0.115}),
                    kBlend); // belly
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.02, 0.125}, {0.135, 0.11, 0.115}),
                    kBlend); // pelvis
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.06, 0.19}, {0.11, 0.09, 0.07}),
                    kBlend);                                              // lower belly
    d = SmoothUnion(d, SphereDistance(p, {0, 0.93, 0.195}, 0.035), 0.04); // pubis
    d = SmoothUnion(d, RoundConeDistance(p, {0, 1.60, 0.115}, {0, 1.76, 0.13}, 0.066, 0.058),
                    0.05); // neck
    const double paired = SmoothUnion(PairedTorsoPart(p), PairedTorsoPart(Mirrored(p)), 0.03);
    return SmoothUnion(d, paired, 0.05);
}

double PairedHeadPart(Vec3 p) {
    double d = EllipsoidDistance(p, {-0.083, 1.855, 0.125}, {0.014, 0.03, 0.02});      // ear
    d = std::min(d, EllipsoidDistance(p, {-0.045, 1.84, 0.19}, {0.028, 0.022, 0.03})); // cheek
    return d;
}

double PairedEyePart(Vec3 p) {
    return SphereDistance(p, {-0.034, 1.872, 0.247}, 0.018);
}

double Head(Vec3 p) {
    if (const double far = DistanceToBox(p, {-0.1, 1.70, 0.0}, {0.1, 2.01, 0.29});
        far > kFarFromPart) {
        return far;
    }
    constexpr double kBlend = 0.025;
    double d = EllipsoidDistance(p, {0, 1.885, 0.125}, {0.084, 0.115, 0.105}); // cranium
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.83, 0.145}, {0.07, 0.09, 0.1}), kBlend); // face
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.78, 0.165}, {0.062, 0.045, 0.07}), kBlend); // jaw
    d = SmoothUnion(d, SphereDistance(p, {0, 1.762, 0.225}, 0.022), kBlend); // chin
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.894, 0.213}, {0.062, 0.016, 0.022}),
                    0.02); // brow
    d = SmoothUnion(d, std::min(PairedHeadPart(p), PairedHeadPart(Mirrored(p))), 0.015);
    // Eye sockets, then the eyes in them.
    d = SmoothIntersection(d, -std::min(PairedEyePart(p), PairedEyePart(Mirrored(p))), 0.02);
    d = std::min(d, std::min(SphereDistance(p, {-0.034, 1.870, 0.224}, 0.0115),
                             SphereDistance(p, {0.034, 1.870, 0.224}, 0.0115)));
    d = SmoothUnion(d, RoundConeDistance(p, {0, 1.875, 0.24}, {0, 1.835, 0.262}, 0.008, 0.012),
                    0.015); // nose
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.834, 0.25}, {0.02, 0.01, 0.012}),
                    0.01); // nostrils
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.799, 0.236}, {0.025, 0.011, 0.012}),
                    0.012); // lips
    return d;
}

double Hand(Vec3 p) {
    double d = EllipsoidDistance(p, {-0.252, 0.966, 0.112}, {0.044, 0.058, 0.016}); // palm
    d = SmoothUnion(d, RoundBoxDistance(p, {-0.252, 0.962, 0.112}, {0.028, 0.04, 0.004}, 0.012),
                    0.01); // flat of the palm
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.268, 0.975, 0.122}, {0.022, 0.032, 0.014}),
                    0.015); // thenar eminence
    struct Finger {
        Vec3 base, tip;
        double radius;
    };
    constexpr Finger kFingers[] = {{{-0.2805, 0.945, 0.113}, {-0.285, 0.842, 0.118}, 0.0105},
                                   {{-0.2615, 0.945, 0.113}, {-0.263, 0.830, 0.118}, 0.011},
                                   {{-0.2425, 0.945, 0.113}, {-0.2415, 0.838, 0.118}, 0.0102},
                                   {{-0.2235, 0.945, 0.113}, {-0.2205, 0.858, 0.117}, 0.0092}};
    double fingers = 1e9;
    for (const Finger& f : kFingers) {
        fingers = SmoothUnion(
            fingers, RoundConeDistance(p, f.base, f.tip, f.radius * 1.15, f.radius), 0.012);
    }
    d = SmoothUnion(d, fingers, 0.02);
    const Vec3 thumb[] = {
        {-0.275, 1.0, 0.12}, {-0.303, 0.96, 0.136}, {-0.317, 0.929, 0.146}, {-0.324, 0.903, 0.151}};
    const double thumbRadius[] = {0.016, 0.012, 0.0115, 0.0105};
    for (int i = 0; i < 3; ++i) {
        d = SmoothUnion(
            d, RoundConeDistance(p, thumb[i], thumb[i + 1], thumbRadius[i], thumbRadius[i + 1]),
            0.01);
    }
    return d;
}

double Arm(Vec3 p) {
    if (const double far = DistanceToBox(p, {-0.35, 0.80, 0.03}, {-0.13, 1.68, 0.19});
        far > kFarFromPart) {
        return far;
    }
    double d = RoundConeDistance(p, kRightShoulder, kRightElbow, 0.05, 0.04); // upper arm
    d = SmoothUnion(d,
                    RoundConeDistance(p, {-0.214, 1.60, 0.109}, {-0.207, 1.46, 0.11}, 0.052, 0.035),
                    0.03); // deltoid
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.206, 1.40, 0.125}, {0.04, 0.09, 0.04}),
                    0.03); // biceps
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.205, 1.43, 0.08}, {0.042, 0.1, 0.04}),
                    0.03); // triceps
    d = SmoothUnion(d, RoundConeDistance(p, kRightElbow, kRightWrist, 0.041, 0.027),
                    0.02); // forearm
    const Vec3 belly = kRightElbow + (kRightWrist - kRightElbow) * 0.3;
    d = SmoothUnion(d, EllipsoidDistance(p, belly, {0.043, 0.085, 0.038}), 0.03); // forearm muscles
    d = SmoothUnion(d, EllipsoidDistance(p, kRightWrist, {0.033, 0.02, 0.021}), 0.02); // wrist
    return SmoothUnion(d, Hand(p), 0.02);
}

double Foot(Vec3 p) {
    double d = SphereDistance(p, {-0.085, 0.045, 0.075}, 0.045); // heel
    d = SmoothUnion(d, RoundConeDistance(p, {-0.087, 0.055, 0.11}, {-0.1, 0.03, 0.275}, 0.05, 0.03),
                    0.04); // arch
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.098, 0.03, 0.25}, {0.05, 0.03, 0.07}),
                    0.03); // forefoot
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.1, 0.022, 0.315}, {0.046, 0.022, 0.04}),
                    0.03); // toes
    return d;
}

double Leg(Vec3 p) {
    if (const double far = DistanceToBox(p, {-0.2, -0.01, 0.0}, {0.0, 1.1, 0.38});
        far > kFarFromPart) {
        return far;
    }
    double d = RoundConeDistance(p, kRightHip, kRightKnee, 0.088, 0.055); // thigh
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.1, 0.75, 0.15}, {0.07, 0.17, 0.065}),
                    0.05); // quadriceps
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.065, 0.86, 0.12}, {0.045, 0.1, 0.055}),
                    0.04); // adductors
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.095, 0.78, 0.085}, {0.065, 0.16, 0.06}),
                    0.05);                                                      // hamstrings
    d = SmoothUnion(d, SphereDistance(p, kRightKnee, 0.046), 0.04);             // knee
    d = SmoothUnion(d, SphereDistance(p, {-0.09, 0.565, 0.168}, 0.022), 0.025); // kneecap
    d = SmoothUnion(d, RoundConeDistance(p, kRightKnee, kRightAnkle, 0.052, 0.033), 0.03); // shin
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.093, 0.40, 0.095}, {0.05, 0.12, 0.055}),
                    0.04); // calf
    // The foot reaches a little below the ground so that its sole is cut flat.
    return SmoothUnion(d, Foot({p.x, p.y + 0.004, p.z}), 0.03);
}

} // namespace

namespace BodyShape {

double Evaluate(Vec3 p) {
    const double trunk = SmoothUnion(Torso(p), Head(p), 0.03);
    // The thighs meet below the crotch; the fillet between them fades out toward the knees.
    const double legs = SmoothUnion(Leg(p), Leg(Mirrored(p)), 0.05 * SmoothStep(0.74, 0.88, p.y));
    double d = SmoothUnion(trunk, legs, 0.05);
    // The arms join the trunk only at the shoulders; lower down they stay apart from it.
    const double arms = std::min(Arm(p), Arm(Mirrored(p)));
    d = SmoothUnion(d, arms, 0.05 * SmoothStep(1.30, 1.44, p.y));
    // Flat soles.
    return SmoothIntersection(d, -p.y, 0.01);
}

Vec3 Gradient(Vec3 p) {
    constexpr double h = 1e-6;
    const double centre = Evaluate(p);
    return Vec3{Evaluate({p.x + h, p.y, p.z}) - centre, Evaluate({p.x, p.y + h, p.z}) - centre,
                Evaluate({p.x, p.y, p.z + h}) - centre} *
           (1.0 / h);
}

} // namespace BodyShape
