#pragma once

#include "body/Skeleton.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Three angles of a joint in degrees (see skeleton::JointRotation).
struct JointAngles {
    double yaw = 0, pitch = 0, roll = 0;
    bool operator==(const JointAngles&) const = default;
};

// How the body stands, sits or lies: the angles of every joint, the turn of the whole body before
// it is set down on the floor (lying on the back is the standing body tipped back by 90 degrees),
// and the name of the preset it came from. A Posture is a value; the body owns one.
class Posture {
public:
    bool operator==(const Posture&) const = default;

    // The preset names, in the order the posture panel lists them ("standing" first).
    static const std::vector<std::string>& PresetNames();
    // The preset of that name, or none.
    static std::optional<Posture> Preset(std::string_view name);

    const JointAngles& Get(skeleton::Joint joint) const;
    // Sets a joint's angles as given, even beyond its limits (a file's value is kept as written).
    void Set(skeleton::Joint joint, const JointAngles& angles);
    // The whole body's turn about the lumbar pivot before it is set on the floor.
    const JointAngles& GetBodyTurn() const { return bodyTurn; }
    void SetBodyTurn(const JointAngles& angles) { bodyTurn = angles; }

    // The name of the preset whose angles these are, or "custom".
    std::string GetName() const;

    // Every angle zero: the anatomical position, in which nothing moves.
    bool IsAnatomical() const;
    // Whether only the right shoulder and elbow are turned (the poses older files could hold).
    bool MovesOnlyRightArm() const;

    // The limits of the whole body's turn (degrees).
    static constexpr skeleton::AngleRange kBodyTurnLimit = {-180, 180};
    // The first angle beyond its joint's limits, as "right knee pitch -10 (0 to 150)"; none when
    // every angle is within them.
    std::optional<std::string> FirstAngleBeyondLimits() const;
    // The same posture with every angle clamped into its joint's limits.
    Posture Clamped() const;

    // The angles an older file's "arm" and "forearm" pose lines give the right shoulder and
    // elbow: the arm hung at pitch 90 and turned about the front axis.
    static JointAngles RightShoulderFromOldArm(double yaw, double pitch);
    static JointAngles RightElbowFromOldForearm(double yaw, double pitch);

private:
    std::array<JointAngles, skeleton::kJointCount> joints{};
    JointAngles bodyTurn;
};
