#include "CtBodyPhantomLayout.h"

#include <algorithm>
#include <cmath>

namespace {

Vec3 Mirrored(const Vec3& p) {
    return {-p.x, p.y, p.z};
}

// The paired bones, on the right side (x < 0), between the default body's joints.
struct PairedBone {
    const char* name;
    Vec3 a, b;
    double radius;
};
constexpr PairedBone kPairedBones[] = {
    {"humerus", {-20.93, 158.51, 10.89}, {-19.60, 128.02, 9.92}, 1.23},
    {"forearm", {-19.60, 128.02, 9.92}, {-24.50, 98.50, 10.80}, 1.03},
    {"femur", {-9.80, 100.0, 11.8}, {-8.80, 53.5, 11.8}, 1.43},
    {"tibia", {-8.80, 53.5, 11.8}, {-9.00, 9.2, 8.6}, 1.23},
};

CtPhantomCapsule Scaled(CtPhantomCapsule capsule, double s) {
    capsule.a = {capsule.a.x * s, capsule.a.y * s, capsule.a.z * s};
    capsule.b = {capsule.b.x * s, capsule.b.y * s, capsule.b.z * s};
    capsule.radius *= s;
    capsule.shell *= s;
    return capsule;
}

} // namespace

// The radii are a few hundredths of a centimetre off round values, so that no voxel centre of a
// grid of round spacing lies on a solid's surface, where rounding alone would decide its tissue.

bool CtPhantomCapsule::Contains(const Vec3& p) const {
    const Vec3 ab = Minus(b, a), ap = Minus(p, a);
    const double length2 = Dot(ab, ab);
    const double t = length2 > 0 ? std::clamp(Dot(ap, ab) / length2, 0.0, 1.0) : 0;
    const Vec3 d{ap.x - t * ab.x, ap.y - t * ab.y, ap.z - t * ab.z};
    const double distance2 = Dot(d, d);
    if (distance2 >= radius * radius)
        return false;
    const double inner = radius - shell;
    return shell <= 0 || distance2 >= inner * inner;
}

CtBodyPhantomLayout MakeCtBodyPhantomLayout(double heightCm) {
    using L = CtBodyPhantomLayout;
    CtBodyPhantomLayout layout;
    layout.bones = {
        {"spine", {0, 98, 8}, {0, 170, 7}, 1.63, L::kBoneHu},
        {"pelvis", {-11, 100, 10}, {11, 100, 10}, 2.03, L::kBoneHu},
        {"skull", {0, 187, 15.5}, {0, 187, 15.5}, 6.53, L::kBoneHu, 0.61},
    };
    for (const PairedBone& bone : kPairedBones) {
        const std::string name = bone.name;
        layout.bones.push_back({"right " + name, bone.a, bone.b, bone.radius, L::kBoneHu});
        layout.bones.push_back(
            {"left " + name, Mirrored(bone.a), Mirrored(bone.b), bone.radius, L::kBoneHu});
    }
    layout.lungs = {{"right lung", {-7, 130, 14}, {-7, 148, 14}, 5.03, L::kLungHu},
                    {"left lung", {7, 130, 14}, {7, 148, 14}, 5.03, L::kLungHu}};
    layout.channel = {"channel", {-13, 140, 33}, {-3, 130, -6}, 0.53, L::kAirHu};
    // 35 % of the way from the channel's front end to its back end.
    layout.fragment = {"fragment", {-9.5, 136.5, 19.35}, {-9.5, 136.5, 19.35}, 0.51, L::kMetalHu};
    // 2.12 cm long, 0.92 cm across, its axis along the blind channel (0, -3, -9.5).
    const Vec3 centre{9, 80, 15.5};
    const double along = std::sqrt(3.0 * 3.0 + 9.5 * 9.5);
    const Vec3 half{0, -0.6 * 3 / along, -0.6 * 9.5 / along};
    layout.bullet = {"bullet",
                     {centre.x - half.x, centre.y - half.y, centre.z - half.z},
                     {centre.x + half.x, centre.y + half.y, centre.z + half.z},
                     0.46,
                     L::kMetalHu};
    layout.bulletChannel = {"bullet channel", {9, 83, 25}, centre, 0.41, L::kAirHu};

    const double s = heightCm / 200;
    for (CtPhantomCapsule* capsule :
         {&layout.channel, &layout.fragment, &layout.bullet, &layout.bulletChannel})
        *capsule = Scaled(*capsule, s);
    for (CtPhantomCapsule& bone : layout.bones)
        bone = Scaled(bone, s);
    for (CtPhantomCapsule& lung : layout.lungs)
        lung = Scaled(lung, s);
    return layout;
}
