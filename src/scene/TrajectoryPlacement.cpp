#include "scene/TrajectoryPlacement.h"

#include "scene/Path.h"
#include "scene/Universe.h"

Matrix4 TrajectoryAnchor(const Path& path) {
    return Matrix4::Translation(path.GetX1() + path.GetDx(), path.GetY1() + path.GetDy(),
                                path.GetZ1() + path.GetDz());
}

Matrix4 TrajectoryTurn(const Path& path) {
    return Matrix4::Rotation(path.GetDirectionDegrees(), 0, 1, 0) *
           Matrix4::Rotation(path.GetDYaw(), 0, 1, 0) *
           Matrix4::Rotation(path.GetElevationDegrees(), 1, 0, 0) *
           Matrix4::Rotation(path.GetDPitch(), 1, 0, 0);
}

Matrix4 TrajectoryPose(const Universe& scene, int number) {
    const Path& path = *scene.GetTrajectory(number - 1);
    return scene.GetBody().TrajectoryPoseTransform(path.GetWithArm(),
                                                   {path.GetX1(), path.GetY1(), path.GetZ1()});
}

Matrix4 TrajectoryPlacement(const Universe& scene, int number) {
    const Path& path = *scene.GetTrajectory(number - 1);
    return TrajectoryPose(scene, number) * TrajectoryAnchor(path) * TrajectoryTurn(path);
}
