#include "case/PosedCase.h"

#include "case/EntryNumber.h"

namespace {

Matrix4 ArrowTurn(double yawDegrees, double elevationDegrees, const Trajectory& adjustment) {
    return Matrix4::Rotation(yawDegrees, 0, 1, 0) *
           Matrix4::Rotation(adjustment.yawAdjustment, 0, 1, 0) *
           Matrix4::Rotation(elevationDegrees, 1, 0, 0) *
           Matrix4::Rotation(adjustment.pitchAdjustment, 1, 0, 0);
}

// The lines through the measured and the posed stops, and the angles read from them.
void FitLines(std::vector<TrackStop> stops, PosedTrajectory& posed) {
    posed.anatomicalLine = FitTrackLine(stops);
    stops.front().point = posed.in;
    stops.back().point = posed.out;
    for (std::size_t i = 0; i < posed.points.size(); ++i) {
        stops[i + 1].point = posed.points[i];
    }
    posed.posedLine = FitTrackLine(stops);
    if (posed.anatomicalLine) {
        posed.anatomical = posed.anatomicalLine->angles;
    }
    if (posed.posedLine) {
        posed.posed = posed.posedLine->angles;
    }
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
    std::vector<TrackStop> stops = StopsOfTrajectory(trajectory);
    if (trajectory.HasParts()) {
        posed.inSegment = theCase.body.SegmentOf(trajectory.in, trajectory.inPart);
        posed.outSegment = theCase.body.SegmentOf(trajectory.out, trajectory.outPart);
        posed.in = body.PosePoint(trajectory.in, trajectory.inPart);
        posed.out = body.PosePoint(trajectory.out, trajectory.outPart);
        for (std::size_t i = 0; i < trajectory.points.size(); ++i) {
            posed.points.push_back(body.PosePoint(trajectory.points[i].point, stops[i + 1].part));
        }
        anchor = posed.in;
    } else {
        // An older file's trajectory is carried whole, its arrow turned as measured.
        carry = body.OlderFilePose(trajectory.withArm, trajectory.in);
        posed.olderFilePose = carry;
        posed.in = carry.TransformPoint(trajectory.in);
        posed.out = carry.TransformPoint(trajectory.out);
        for (const TrackPoint& point : trajectory.points) {
            posed.points.push_back(carry.TransformPoint(point.point));
        }
    }
    posed.posed = AnglesOfTrack(posed.in, posed.out);
    if (!trajectory.points.empty()) {
        FitLines(stops, posed);
    }
    // The arrow of an older file's trajectory is turned as measured and carried whole; a track
    // with points between IN and OUT is drawn along its fitted line.
    const std::optional<TrackLine>& line =
        trajectory.HasParts() ? posed.posedLine : posed.anatomicalLine;
    Vec3 from = trajectory.HasParts() ? posed.in : trajectory.in;
    Vec3 to = trajectory.HasParts() ? posed.out : trajectory.out;
    if (line) {
        from = line->start;
        to = {from.x + line->direction.x, from.y + line->direction.y, from.z + line->direction.z};
    }
    const ScenePlacement& placement = theCase.world.body;
    posed.sceneIn = placement.Place(posed.in);
    posed.sceneOut = placement.Place(posed.out);
    const Vec3& offset = trajectory.offset;
    posed.arrowAnchor =
        carry * Matrix4::Translation(anchor.x + offset.x, anchor.y + offset.y, anchor.z + offset.z);
    posed.arrowTurn = ArrowTurn(ArrowYaw(from, to), Elevation(from, to), trajectory);
    return posed;
}

const PosedTrajectory* PosedCase::TrajectoryNumbered(int number) const {
    return number >= 1 && number <= static_cast<int>(trajectories.size())
               ? &trajectories[IndexOfNumber(number)]
               : nullptr;
}
