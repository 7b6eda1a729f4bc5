#pragma once

#include "base/Matrix4.h"

#include <array>
#include <optional>
#include <string_view>

class LandmarkTable;

// The body's skeleton: the rigid segments a posture moves and the joints between them. Each joint
// turns the segment it carries (and everything beyond it) about a pivot by three angles in
// degrees, with 0 0 0 the anatomical position:
//   R = rotate(sy * yaw about +Y) * rotate(sx * pitch about +X) * rotate(sz * roll about +Z),
// the signs chosen so that the same angle means the same movement on either side: pitch is
// flexion (forward for the neck, trunk, shoulders, elbows and hips, backward for the knees), roll
// is abduction for a limb (away from the midline) and a side bend to the right for the neck and
// trunk, yaw is inward rotation for a limb and a turn to the left for the neck and trunk.
namespace skeleton {

enum class Segment {
    Pelvis, // the trunk below the lumbar spine, and the root every other segment hangs from
    Torso,  // the trunk above the lumbar spine
    Head,
    RightUpperArm,
    RightForearm,
    LeftUpperArm,
    LeftForearm,
    RightThigh,
    RightShank,
    LeftThigh,
    LeftShank,
};
inline constexpr int kSegmentCount = 11;

enum class Joint {
    Neck,
    Trunk,
    RightShoulder,
    RightElbow,
    LeftShoulder,
    LeftElbow,
    RightHip,
    RightKnee,
    LeftHip,
    LeftKnee,
};
inline constexpr int kJointCount = 10;

struct AngleRange {
    double min = 0, max = 0;
    bool Holds(double degrees) const { return degrees >= min && degrees <= max; }
};

struct JointInfo {
    std::string_view name;            // as the data file and the report write it: "right_knee"
    std::string_view label;           // as the window shows it: "Right knee"
    Segment parent;                   // the segment the joint sits on
    Segment carried;                  // the segment it turns
    std::array<double, 3> signs;      // sy, sx, sz
    std::array<AngleRange, 3> limits; // yaw, pitch, roll
};

const JointInfo& InfoOf(Joint joint);
std::optional<Joint> JointNamed(std::string_view name);
// The joint that turns `segment`; none for the pelvis.
std::optional<Joint> JointCarrying(Segment segment);
Segment ParentOf(Segment segment);

// The segment a named part of the body model moves with; the trunk part is split between the
// pelvis and the torso by height (see BodySkin), so it is given as the pelvis. Models written
// before the legs were split name a whole leg "right_leg": it moves with the thigh. Unknown
// names: none (the part stays where it is).
std::optional<Segment> SegmentOfPart(std::string_view partName);
// The body part names a measured point may belong to, in the order the dialogs list them.
inline constexpr std::array<std::string_view, 10> kPartNames = {
    "head",         "trunk",       "right_arm",   "right_forearm", "left_arm",
    "left_forearm", "right_thigh", "right_shank", "left_thigh",    "left_shank"};

// Where the joints turn, in the body frame of the body at its default height and scales.
struct Pivots {
    std::array<Vec3, kJointCount> at{};
    const Vec3& operator[](Joint joint) const { return at[static_cast<size_t>(joint)]; }
    Vec3& operator[](Joint joint) { return at[static_cast<size_t>(joint)]; }
    bool operator==(const Pivots&) const = default;

    // The default body's pivots.
    static Pivots Default();
    // The pivots at the anatomical places the landmark table gives (the knee behind the patella,
    // the hip joint behind and below the anterior superior iliac spine, the shoulder joint below
    // the acromion, ...); a pivot whose landmarks the table lacks keeps the default body's.
    static Pivots FromLandmarks(const LandmarkTable& table);
};

// The rotation part of a joint's turn by its three angles (degrees), with the joint's signs.
Matrix4 JointRotation(Joint joint, double yaw, double pitch, double roll);

} // namespace skeleton
