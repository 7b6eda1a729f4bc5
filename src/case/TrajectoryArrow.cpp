#include "case/TrajectoryArrow.h"

#include "case/Case.h"
#include "case/PosedTrack.h"
#include "case/Trajectory.h"

namespace {

Matrix4 Turn(double directionDegrees, double elevationDegrees, const Trajectory& adjustment) {
    return Matrix4::Rotation(directionDegrees, 0, 1, 0) *
           Matrix4::Rotation(adjustment.GetDYaw(), 0, 1, 0) *
           Matrix4::Rotation(elevationDegrees, 1, 0, 0) *
           Matrix4::Rotation(adjustment.GetDPitch(), 1, 0, 0);
}

} // namespace

Matrix4 TrajectoryPose(const Case& theCase, int number) {
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    if (trajectory.HasParts()) {
        return Matrix4::Identity();
    }
    return theCase.GetBody().TrajectoryPoseTransform(
        trajectory.GetWithArm(), {trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1()});
}

Matrix4 TrajectoryAnchor(const Case& theCase, int number) {
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    const Vec3 in = trajectory.HasParts()
                        ? PoseTrajectoryPoints(theCase, number).in
                        : Vec3{trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1()};
    return TrajectoryPose(theCase, number) *
           Matrix4::Translation(in.x + trajectory.GetDx(), in.y + trajectory.GetDy(),
                                in.z + trajectory.GetDz());
}

Matrix4 TrajectoryTurn(const Case& theCase, int number) {
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    if (!trajectory.HasParts()) {
        return Turn(trajectory.GetDirectionDegrees(), trajectory.GetElevationDegrees(), trajectory);
    }
    const PosedTrack track = PoseTrajectoryPoints(theCase, number);
    Trajectory posed;
    posed.SetPoints(track.in.x, track.in.y, track.in.z, track.out.x, track.out.y, track.out.z);
    return Turn(posed.GetDirectionDegrees(), posed.GetElevationDegrees(), trajectory);
}

Matrix4 TrajectoryArrowTransform(const Case& theCase, int number) {
    return TrajectoryAnchor(theCase, number) * TrajectoryTurn(theCase, number);
}
