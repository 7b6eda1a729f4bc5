#include "body/Skeleton.h"

#include "body/LandmarkTable.h"

#include <algorithm>

namespace skeleton {

namespace {

using S = Segment;

// Limits in degrees (yaw, pitch, roll), wide enough for every posture a victim can take and no
// wider: a knee bends 0 to 150 and never backward.
constexpr std::array<JointInfo, kJointCount> kJoints = {{
    {"neck", "Neck", S::Torso, S::Head, {1, 1, 1}, {{{-80, 80}, {-60, 70}, {-45, 45}}}},
    {"trunk", "Trunk", S::Pelvis, S::Torso, {1, 1, 1}, {{{-45, 45}, {-30, 90}, {-35, 35}}}},
    {"right_shoulder",
     "Right shoulder",
     S::Torso,
     S::RightUpperArm,
     {1, -1, -1},
     {{{-90, 90}, {-60, 180}, {-30, 180}}}},
    {"right_elbow",
     "Right elbow",
     S::RightUpperArm,
     S::RightForearm,
     {1, -1, -1},
     {{{-90, 90}, {0, 150}, {-30, 30}}}},
    {"left_shoulder",
     "Left shoulder",
     S::Torso,
     S::LeftUpperArm,
     {-1, -1, 1},
     {{{-90, 90}, {-60, 180}, {-30, 180}}}},
    {"left_elbow",
     "Left elbow",
     S::LeftUpperArm,
     S::LeftForearm,
     {-1, -1, 1},
     {{{-90, 90}, {0, 150}, {-30, 30}}}},
    {"right_hip",
     "Right hip",
     S::Pelvis,
     S::RightThigh,
     {1, -1, -1},
     {{{-45, 45}, {-30, 130}, {-30, 50}}}},
    {"right_knee",
     "Right knee",
     S::RightThigh,
     S::RightShank,
     {1, 1, -1},
     {{{-30, 30}, {0, 150}, {-5, 5}}}},
    {"left_hip",
     "Left hip",
     S::Pelvis,
     S::LeftThigh,
     {-1, -1, 1},
     {{{-45, 45}, {-30, 130}, {-30, 50}}}},
    {"left_knee",
     "Left knee",
     S::LeftThigh,
     S::LeftShank,
     {-1, 1, 1},
     {{{-30, 30}, {0, 150}, {-5, 5}}}},
}};

struct PartSegment {
    std::string_view part;
    Segment segment;
};
constexpr std::array<PartSegment, 12> kPartSegments = {{
    {"head", S::Head},
    {"trunk", S::Pelvis},
    {"right_arm", S::RightUpperArm},
    {"right_forearm", S::RightForearm},
    {"left_arm", S::LeftUpperArm},
    {"left_forearm", S::LeftForearm},
    {"right_thigh", S::RightThigh},
    {"right_shank", S::RightShank},
    {"left_thigh", S::LeftThigh},
    {"left_shank", S::LeftShank},
    {"right_leg", S::RightThigh},
    {"left_leg", S::LeftThigh},
}};

Vec3 Plus(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 Mirrored(const Vec3& v) {
    return {-v.x, v.y, v.z};
}

const Landmark* Find(const LandmarkTable& table, std::string_view name) {
    const auto& all = table.GetLandmarks();
    const auto found =
        std::find_if(all.begin(), all.end(), [name](const Landmark& l) { return l.name == name; });
    return found == all.end() ? nullptr : &*found;
}

// Offsets of the joint centres from the landmarks on the skin, measured on the default body
// (right side; the left is its mirror image).
constexpr Vec3 kShoulderBelowAcromion = {0.00117, -0.0776, -0.0007};
constexpr Vec3 kElbowFromShoulder = {0.01331, -0.30492, -0.00968};
constexpr Vec3 kHipFromIliacSpine = {0.0112, -0.0848, -0.0892};
constexpr Vec3 kKneeBehindPatella = {0.0, -0.023, -0.0673};
// The lumbar turning point lies this share of the way from the spine's surface to the navel.
constexpr double kLumbarDepthShare = 0.3;

// The default body's landmarks the pivots are found from.
LandmarkTable DefaultLandmarks() {
    LandmarkTable table;
    const std::string_view text = "chin 0 1.7423 0.2498\n"
                                  "vertebra prominens 0 1.6656 0.0433\n"
                                  "lumbar spine 0 1.1801 0.0410\n"
                                  "umbilicus 0 1.2010 0.2219\n"
                                  "right acromion -0.2105 1.6627 0.1096\n"
                                  "left acromion 0.2105 1.6627 0.1096\n"
                                  "right anterior superior iliac spine -0.1092 1.0848 0.2072\n"
                                  "left anterior superior iliac spine 0.1092 1.0848 0.2072\n"
                                  "right patella -0.0880 0.5680 0.1853\n"
                                  "left patella 0.0880 0.5680 0.1853\n";
    (void)LandmarkTable::Parse(text, table);
    return table;
}

// The pivots of one side found from `table` into `pivots`, the left side's offsets mirrored.
void SidePivots(const LandmarkTable& table, bool left, Pivots& pivots) {
    const auto offset = [left](const Vec3& right) { return left ? Mirrored(right) : right; };
    const std::string side = left ? "left " : "right ";
    const Joint shoulder = left ? Joint::LeftShoulder : Joint::RightShoulder;
    const Joint elbow = left ? Joint::LeftElbow : Joint::RightElbow;
    const Joint hip = left ? Joint::LeftHip : Joint::RightHip;
    const Joint knee = left ? Joint::LeftKnee : Joint::RightKnee;
    if (const Landmark* acromion = Find(table, side + "acromion")) {
        pivots[shoulder] = Plus(acromion->position, offset(kShoulderBelowAcromion));
    }
    pivots[elbow] = Plus(pivots[shoulder], offset(kElbowFromShoulder));
    if (const Landmark* spine = Find(table, side + "anterior superior iliac spine")) {
        pivots[hip] = Plus(spine->position, offset(kHipFromIliacSpine));
    }
    if (const Landmark* patella = Find(table, side + "patella")) {
        pivots[knee] = Plus(patella->position, kKneeBehindPatella);
    }
}

Pivots PivotsFrom(const LandmarkTable& table, Pivots pivots) {
    const Landmark* chin = Find(table, "chin");
    const Landmark* prominens = Find(table, "vertebra prominens");
    if (chin && prominens) {
        const Vec3 a = chin->position, b = prominens->position;
        pivots[Joint::Neck] = {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
    }
    const Landmark* lumbar = Find(table, "lumbar spine");
    const Landmark* navel = Find(table, "umbilicus");
    if (lumbar && navel) {
        const Vec3 a = lumbar->position, b = navel->position;
        const double t = kLumbarDepthShare;
        pivots[Joint::Trunk] = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y),
                                a.z + t * (b.z - a.z)};
    }
    SidePivots(table, false, pivots);
    SidePivots(table, true, pivots);
    return pivots;
}

} // namespace

const JointInfo& InfoOf(Joint joint) {
    return kJoints[static_cast<size_t>(joint)];
}

std::optional<Joint> JointNamed(std::string_view name) {
    for (int j = 0; j < kJointCount; ++j) {
        if (kJoints[j].name == name) {
            return static_cast<Joint>(j);
        }
    }
    return std::nullopt;
}

std::optional<Joint> JointCarrying(Segment segment) {
    for (int j = 0; j < kJointCount; ++j) {
        if (kJoints[j].carried == segment) {
            return static_cast<Joint>(j);
        }
    }
    return std::nullopt;
}

Segment ParentOf(Segment segment) {
    const std::optional<Joint> joint = JointCarrying(segment);
    return joint ? InfoOf(*joint).parent : Segment::Pelvis;
}

std::optional<Segment> SegmentOfPart(std::string_view partName) {
    for (const PartSegment& entry : kPartSegments) {
        if (entry.part == partName) {
            return entry.segment;
        }
    }
    return std::nullopt;
}

Pivots Pivots::Default() {
    static const Pivots defaults = PivotsFrom(DefaultLandmarks(), Pivots{});
    return defaults;
}

Pivots Pivots::FromLandmarks(const LandmarkTable& table) {
    return PivotsFrom(table, Default());
}

Matrix4 JointRotation(Joint joint, double yaw, double pitch, double roll) {
    const std::array<double, 3>& s = InfoOf(joint).signs;
    return Matrix4::Rotation(s[0] * yaw, 0, 1, 0) * Matrix4::Rotation(s[1] * pitch, 1, 0, 0) *
           Matrix4::Rotation(s[2] * roll, 0, 0, 1);
}

} // namespace skeleton
