#pragma once

#include "body/Body.h"

// The right arm posed in the angles older files' "arm" and "forearm" lines gave (the arm hanging
// at pitch 90), for the tests that pin how such a case still draws.
class OldArmPose {
public:
    enum class Joint { Arm, Forearm };
    OldArmPose(Body& posed, Joint armJoint) : body(posed), joint(armJoint) {}

    double GetYaw() const { return Old()[0]; }
    double GetPitch() const { return Old()[1]; }
    double GetRoll() const { return 0; }
    void SetYaw(double yaw) { Store(yaw, Old()[1]); }
    void SetPitch(double pitch) { Store(Old()[0], pitch); }
    void Set(double, double, double, double yaw, double pitch, double) { Store(yaw, pitch); }

private:
    std::array<double, 2> Old() const {
        const Posture& posture = body.GetPosture();
        if (joint == Joint::Arm) {
            const JointAngles& a = posture.Get(skeleton::Joint::RightShoulder);
            return {a.yaw, 90 - a.roll};
        }
        const JointAngles& a = posture.Get(skeleton::Joint::RightElbow);
        return {a.pitch, -a.roll};
    }
    void Store(double yaw, double pitch) {
        if (joint == Joint::Arm) {
            body.SetJoint(skeleton::Joint::RightShoulder,
                          Posture::RightShoulderFromOldArm(yaw, pitch));
        } else {
            body.SetJoint(skeleton::Joint::RightElbow,
                          Posture::RightElbowFromOldForearm(yaw, pitch));
        }
    }

    Body& body;
    Joint joint;
};

inline OldArmPose OldArm(Body& body) {
    return {body, OldArmPose::Joint::Arm};
}
inline OldArmPose OldForearm(Body& body) {
    return {body, OldArmPose::Joint::Forearm};
}
