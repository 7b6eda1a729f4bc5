#include "case/TrajectoryArrow.h"

#include "case/Case.h"
#include "case/Trajectory.h"

Matrix4 TrajectoryAnchor(const Trajectory& path) {
    return Matrix4::Translation(path.GetX1() + path.GetDx(), path.GetY1() + path.GetDy(),
                                path.GetZ1() + path.GetDz());
}

Matrix4 TrajectoryTurn(const Trajectory& path) {
    return Matrix4::Rotation(path.GetDirectionDegrees(), 0, 1, 0) *
           Matrix4::Rotation(path.GetDYaw(), 0, 1, 0) *
           Matrix4::Rotation(path.GetElevationDegrees(), 1, 0, 0) *
           Matrix4::Rotation(path.GetDPitch(), 1, 0, 0);
}

Matrix4 TrajectoryPose(const Case& scene, int number) {
    const Trajectory& path = *scene.GetTrajectory(number - 1);
    return scene.GetBody().TrajectoryPoseTransform(path.GetWithArm(),
                                                   {path.GetX1(), path.GetY1(), path.GetZ1()});
}

Matrix4 TrajectoryArrowTransform(const Case& scene, int number) {
    const Trajectory& path = *scene.GetTrajectory(number - 1);
    return TrajectoryPose(scene, number) * TrajectoryAnchor(path) * TrajectoryTurn(path);
}
