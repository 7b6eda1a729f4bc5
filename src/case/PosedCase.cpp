#include "case/PosedCase.h"

#include "case/EntryNumber.h"

namespace {

Matrix4 ArrowTurn(double yawDegrees, double elevationDegrees, const Trajectory& adjustment) {
    return Matrix4::Rotation(yawDegrees, 0, 1, 0) *
           Matrix4::Rotation(adjustment.yawAdjustment, 0, 1, 0) *
           Matrix4::Rotation(elevationDegrees, 1, 0, 0) *
           Matrix4::Rotation(adjustment.pitchAdjustment, 1, 0, 0);
}

} // namespace

PosedCase::PosedCase() = default;

PosedCase::PosedCase(Case posedCase, const PosedCase* previous)
    : theCase(std::move(posedCase)), body(theCase.body, previous ? &previous->body : nullptr) {
    // What the last change left alone is taken over as it was made: an edit of one trajectory
    // poses that trajectory only.
    const bool sameBody = previous != nullptr && previous->theCase.body == theCase.body;
    const bool samePlace = sameBody && previous->theCase.world.body == theCase.world.body;
    trajectories.reserve(theCase.trajectories.size());
    for (size_t i = 0; i < theCase.trajectories.size(); ++i) {
        const Trajectory& trajectory = theCase.trajectories[i];
        if (samePlace && i < previous->theCase.trajectories.size() &&
            previous->theCase.trajectories[i] == trajectory) {
            trajectories.push_back(previous->trajectories[i]);
        } else {
            trajectories.push_back(Pose(trajectory, NumberOfIndex(i)));
        }
    }
    if (sameBody) {
        anatomicalLandmarks = previous->anatomicalLandmarks;
        posedLandmarks = previous->posedLandmarks;
        return;
    }
    anatomicalLandmarks = std::make_shared<const LandmarkTable>(theCase.body.DrawnLandmarks());
    posedLandmarks = IsPosed() ? std::make_shared<const LandmarkTable>(body.PosedLandmarks())
                               : anatomicalLandmarks;
}

PosedTrajectory PosedCase::Pose(const Trajectory& trajectory, int number) const {
    PosedTrajectory posed;
    posed.number = number;
    posed.anatomical = AnglesOfTrack(trajectory.in, trajectory.out);
    Matrix4 carry = Matrix4::Identity();
    Vec3 anchor = trajectory.in;
    double yaw = 0, elevation = 0;
    if (trajectory.HasParts()) {
        posed.inSegment = theCase.body.SegmentOf(trajectory.in, trajectory.inPart);
        posed.outSegment = theCase.body.SegmentOf(trajectory.out, trajectory.outPart);
        posed.in = body.PosePoint(trajectory.in, trajectory.inPart);
        posed.out = body.PosePoint(trajectory.out, trajectory.outPart);
        anchor = posed.in;
        yaw = ArrowYaw(posed.in, posed.out);
        elevation = Elevation(posed.in, posed.out);
    } else {
        // An older file's trajectory is carried whole, its arrow turned as measured.
        carry = body.OlderFilePose(trajectory.withArm, trajectory.in);
        posed.olderFilePose = carry;
        posed.in = carry.TransformPoint(trajectory.in);
        posed.out = carry.TransformPoint(trajectory.out);
        yaw = ArrowYaw(trajectory.in, trajectory.out);
        elevation = Elevation(trajectory.in, trajectory.out);
    }
    posed.posed = AnglesOfTrack(posed.in, posed.out);
    const ScenePlacement& placement = theCase.world.body;
    posed.sceneIn = placement.Place(posed.in);
    posed.sceneOut = placement.Place(posed.out);
    const Vec3& offset = trajectory.offset;
    posed.arrowAnchor =
        carry * Matrix4::Translation(anchor.x + offset.x, anchor.y + offset.y, anchor.z + offset.z);
    posed.arrowTurn = ArrowTurn(yaw, elevation, trajectory);
    return posed;
}

const PosedTrajectory* PosedCase::TrajectoryNumbered(int number) const {
    return number >= 1 && number <= static_cast<int>(trajectories.size())
               ? &trajectories[IndexOfNumber(number)]
               : nullptr;
}
