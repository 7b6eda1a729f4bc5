#include "case/PosedTrack.h"

#include "case/Case.h"
#include "case/Trajectory.h"
#include "case/TrajectoryArrow.h"

PosedTrack PoseTrajectoryPoints(const Case& theCase, int number) {
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    const Vec3 in = {trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1()};
    const Vec3 out = {trajectory.GetX2(), trajectory.GetY2(), trajectory.GetZ2()};
    const Body& body = theCase.GetBody();
    if (trajectory.HasParts()) {
        return {body.PosePoint(in, trajectory.GetInPart()),
                body.PosePoint(out, trajectory.GetOutPart())};
    }
    const Matrix4 pose = TrajectoryPose(theCase, number);
    return {pose.TransformPoint(in), pose.TransformPoint(out)};
}

TrackAngles AnglesOfTrack(const Vec3& in, const Vec3& out) {
    Trajectory line;
    line.SetPoints(in.x, in.y, in.z, out.x, out.y, out.z);
    return {line.GetDirectionAngle(), line.GetElevationDegrees()};
}
