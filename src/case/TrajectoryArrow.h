#pragma once

#include "base/Matrix4.h"

class Trajectory;
class Case;

// Where a trajectory's arrow is drawn, as the view places it. The drawing and the case export
// both use these, so an exported arrow sits exactly where it is seen. A trajectory with parts is
// drawn along its posed track (see PosedTrack.h), the adjustment added in the body frame; one from
// an older file without parts is carried whole by the arm, as it was then.

// Where the arrow's tail sits and its handles are drawn: the posed entry point moved by the
// adjustment.
Matrix4 TrajectoryAnchor(const Case& theCase, int number);
// The turn by the posed track's direction and elevation, each with its adjustment, about the
// anchor.
Matrix4 TrajectoryTurn(const Case& theCase, int number);
// How an older file's trajectory `number` (1-based) is carried with the arm: the identity for a
// trajectory with parts.
Matrix4 TrajectoryPose(const Case& theCase, int number);
// The whole placement of trajectory `number` (1-based) in the body frame: anchor and turn.
Matrix4 TrajectoryArrowTransform(const Case& theCase, int number);
