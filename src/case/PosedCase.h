#pragma once

#include "base/Matrix4.h"
#include "body/LandmarkTable.h"
#include "body/PosedBody.h"
#include "body/Skeleton.h"
#include "case/Case.h"
#include "case/TrackAngles.h"
#include "case/TrackLine.h"

#include <memory>
#include <optional>
#include <vector>

// One trajectory as the posed case holds it.
struct PosedTrajectory {
    int number = 0; // the user's number, from 1
    // Where the posture carries IN and OUT (body frame, metres): with the bone of each point's
    // part, or for an older file's trajectory without parts, whole with the arm or not at all.
    Vec3 in, out;
    // The points between them as the posture carries them, each with its own part (or, without
    // one, with IN's), in order from IN to OUT.
    std::vector<Vec3> points;
    // For a track with points between IN and OUT: the lines fitted through all its stops as
    // measured and as posed, from which its angles are read.
    std::optional<TrackLine> anatomicalLine, posedLine;
    // The angles of the measured points (the body in the anatomical position) and of the posed
    // ones (the body as posed); the same when the body is not posed. A track with points between
    // IN and OUT reads them from its fitted lines.
    TrackAngles anatomical;
    TrackAngles posed;
    // The posed points placed in the scene (scene frame, metres).
    Vec3 sceneIn, sceneOut;
    // Where the arrow is drawn (body frame): its tail, the posed IN moved by the adjustment, and
    // its turn, by the posed track's direction and elevation each with its adjustment.
    Matrix4 arrowAnchor;
    Matrix4 arrowTurn;
    // What carries the measured points: the segments whose bones carry IN and OUT, or, for an
    // older file's trajectory, the transform that carries both.
    skeleton::Segment inSegment = skeleton::Segment::Pelvis;
    skeleton::Segment outSegment = skeleton::Segment::Pelvis;
    std::optional<Matrix4> olderFilePose;

    Matrix4 ArrowTransform() const { return arrowAnchor * arrowTurn; }
};

// A case with everything its posture and its place in the scene make of it, computed once for
// each change of the case: the posed body (its mesh as drawn, its segments), the landmarks at
// rest and where the posed skin carries them, and for every trajectory its posed points, its
// anatomical and its posed angles, its points in the scene and its arrow's place. Every output
// (the view, the report, the scene export, the origin zones, the uncertainty budget) reads the
// case through it, so that they all tell the same; nothing else poses.
class PosedCase {
public:
    PosedCase();
    // Poses `theCase`. What `previous` made of a part the change left alone is kept: the posed
    // mesh while the body's model and posture are the same, the landmarks while the body is, each
    // trajectory while it, the body and the body's place are.
    explicit PosedCase(Case theCase, const PosedCase* previous = nullptr);

    const Case& GetCase() const { return theCase; }
    const PosedBody& GetBody() const { return body; }
    const std::vector<PosedTrajectory>& GetTrajectories() const { return trajectories; }
    // The trajectory the user names by `number`; nullptr when there is none.
    const PosedTrajectory* TrajectoryNumbered(int number) const;
    // The body model's landmarks on the body at its height and stretches: in the anatomical
    // position, and where the posed skin carries them (the same when the body is not posed).
    const LandmarkTable& AnatomicalLandmarks() const { return *anatomicalLandmarks; }
    const LandmarkTable& PosedLandmarks() const { return *posedLandmarks; }

    // Whether the posture moves anything, and whether the body stands elsewhere than at the
    // scene's origin facing +Z.
    bool IsPosed() const { return !theCase.body.HasInitialPose(); }
    bool IsPlaced() const { return !theCase.world.body.IsIdentity(); }

private:
    PosedTrajectory Pose(const Trajectory& trajectory, int number) const;

    Case theCase;
    PosedBody body;
    std::vector<PosedTrajectory> trajectories;
    // Shared with the posed cases made from this one while the body stays as it is.
    std::shared_ptr<const LandmarkTable> anatomicalLandmarks = std::make_shared<LandmarkTable>();
    std::shared_ptr<const LandmarkTable> posedLandmarks = anatomicalLandmarks;
};
