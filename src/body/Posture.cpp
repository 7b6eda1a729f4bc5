#include "body/Posture.h"

#include "base/NumberText.h"

#include <algorithm>

using skeleton::Joint;

namespace {

struct PresetJoint {
    Joint joint;
    JointAngles angles;
};

struct PresetDefinition {
    std::string_view name;
    JointAngles bodyTurn;
    std::vector<PresetJoint> joints;
};

// The knees bend past the right angle when kneeling so that the rigid feet (the body has no ankle
// joint) rise off the floor behind and the knees carry the body.
const std::vector<PresetDefinition>& Definitions() {
    static const std::vector<PresetDefinition> presets = {
        {"standing", {}, {}},
        {"kneeling", {}, {{Joint::RightKnee, {0, 120, 0}}, {Joint::LeftKnee, {0, 120, 0}}}},
        {"kneeling on one knee",
         {},
         {{Joint::RightKnee, {0, 120, 0}},
          {Joint::LeftHip, {0, 105, 0}},
          {Joint::LeftKnee, {0, 105, 0}}}},
        {"seated",
         {},
         {{Joint::RightHip, {0, 90, 0}},
          {Joint::LeftHip, {0, 90, 0}},
          {Joint::RightKnee, {0, 90, 0}},
          {Joint::LeftKnee, {0, 90, 0}}}},
        {"bent forward",
         {},
         {{Joint::Trunk, {0, 60, 0}},
          {Joint::RightShoulder, {0, 60, 0}},
          {Joint::LeftShoulder, {0, 60, 0}}}},
        {"arms raised",
         {},
         {{Joint::RightShoulder, {0, 165, 0}},
          {Joint::LeftShoulder, {0, 165, 0}},
          {Joint::RightElbow, {0, 15, 0}},
          {Joint::LeftElbow, {0, 15, 0}}}},
        {"lying on the back", {0, -90, 0}, {}},
        {"lying face down", {0, 90, 0}, {}},
    };
    return presets;
}

std::string AngleText(double degrees) {
    return FormatFixed(degrees, 0, 1);
}

} // namespace

const std::vector<std::string>& Posture::PresetNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const PresetDefinition& preset : Definitions()) {
            list.emplace_back(preset.name);
        }
        return list;
    }();
    return names;
}

std::optional<Posture> Posture::Preset(std::string_view presetName) {
    for (const PresetDefinition& preset : Definitions()) {
        if (preset.name != presetName) {
            continue;
        }
        Posture posture;
        posture.bodyTurn = preset.bodyTurn;
        for (const PresetJoint& entry : preset.joints) {
            posture.Set(entry.joint, entry.angles);
        }
        return posture;
    }
    return std::nullopt;
}

std::string Posture::GetName() const {
    for (const std::string& preset : PresetNames()) {
        if (*Preset(preset) == *this) {
            return preset;
        }
    }
    return "custom";
}

const JointAngles& Posture::Get(Joint joint) const {
    return joints[static_cast<size_t>(joint)];
}

void Posture::Set(Joint joint, const JointAngles& angles) {
    joints[static_cast<size_t>(joint)] = angles;
}

bool Posture::IsAnatomical() const {
    return bodyTurn == JointAngles{} &&
           std::all_of(joints.begin(), joints.end(),
                       [](const JointAngles& a) { return a == JointAngles{}; });
}

bool Posture::MovesOnlyRightArm() const {
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        const Joint joint = static_cast<Joint>(j);
        if (joint != Joint::RightShoulder && joint != Joint::RightElbow &&
            Get(joint) != JointAngles{}) {
            return false;
        }
    }
    return bodyTurn == JointAngles{};
}

std::optional<std::string> Posture::FirstAngleBeyondLimits() const {
    static constexpr std::array<std::string_view, 3> kAngleNames = {"yaw", "pitch", "roll"};
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        const skeleton::JointInfo& info = skeleton::InfoOf(static_cast<Joint>(j));
        const JointAngles& a = joints[j];
        const std::array<double, 3> values = {a.yaw, a.pitch, a.roll};
        for (size_t k = 0; k < 3; ++k) {
            if (!info.limits[k].Holds(values[k])) {
                std::string label(info.label);
                std::transform(label.begin(), label.begin() + 1, label.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
                return label + " " + std::string(kAngleNames[k]) + " " + AngleText(values[k]) +
                       " (" + AngleText(info.limits[k].min) + " to " +
                       AngleText(info.limits[k].max) + ")";
            }
        }
    }
    return std::nullopt;
}

Posture Posture::Clamped() const {
    Posture clamped = *this;
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        const auto& limits = skeleton::InfoOf(static_cast<Joint>(j)).limits;
        JointAngles& a = clamped.joints[j];
        a.yaw = std::clamp(a.yaw, limits[0].min, limits[0].max);
        a.pitch = std::clamp(a.pitch, limits[1].min, limits[1].max);
        a.roll = std::clamp(a.roll, limits[2].min, limits[2].max);
    }
    for (double* angle : {&clamped.bodyTurn.yaw, &clamped.bodyTurn.pitch, &clamped.bodyTurn.roll}) {
        *angle = std::clamp(*angle, kBodyTurnLimit.min, kBodyTurnLimit.max);
    }
    return clamped;
}

JointAngles Posture::RightShoulderFromOldArm(double yaw, double pitch) {
    // The older arm turned by yaw about +Y and by (pitch - 90) about +Z, which is the shoulder's
    // abduction (roll) of 90 - pitch.
    return {yaw, 0, 90 - pitch};
}

JointAngles Posture::RightElbowFromOldForearm(double yaw, double pitch) {
    // The older forearm's yaw bent the elbow forward; its pitch turned the forearm about the front
    // axis, toward the midline for a positive angle.
    return {0, yaw, -pitch};
}
