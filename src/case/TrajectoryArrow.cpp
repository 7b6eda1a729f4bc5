#include "case/TrajectoryArrow.h"

#include "case/Case.h"
#include "case/Trajectory.h"

Matrix4 TrajectoryAnchor(const Trajectory& trajectory) {
    return Matrix4::Translation(trajectory.GetX1() + trajectory.GetDx(),
                                trajectory.GetY1() + trajectory.GetDy(),
                                trajectory.GetZ1() + trajectory.GetDz());
}

Matrix4 TrajectoryTurn(const Trajectory& trajectory) {
    return Matrix4::Rotation(trajectory.GetDirectionDegrees(), 0, 1, 0) *
           Matrix4::Rotation(trajectory.GetDYaw(), 0, 1, 0) *
           Matrix4::Rotation(trajectory.GetElevationDegrees(), 1, 0, 0) *
           Matrix4::Rotation(trajectory.GetDPitch(), 1, 0, 0);
}

Matrix4 TrajectoryPose(const Case& theCase, int number) {
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    return theCase.GetBody().TrajectoryPoseTransform(
        trajectory.GetWithArm(), {trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1()});
}

Matrix4 TrajectoryArrowTransform(const Case& theCase, int number) {
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    return TrajectoryPose(theCase, number) * TrajectoryAnchor(trajectory) *
           TrajectoryTurn(trajectory);
}
