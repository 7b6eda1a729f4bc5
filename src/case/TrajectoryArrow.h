#pragma once

#include "base/Matrix4.h"

class Trajectory;
class Case;

// Where a trajectory's arrow is drawn, as the view places it. The drawing and the case export
// both use these, so an exported arrow sits exactly where it is seen.

// The entry point moved by the adjustment: where the arrow's tail sits and its handles are drawn.
Matrix4 TrajectoryAnchor(const Trajectory& trajectory);
// The turn by the direction and elevation, each with its adjustment, about the anchor.
Matrix4 TrajectoryTurn(const Trajectory& trajectory);
// The pose that carries trajectory `number` (1-based) with the arm, when it follows the arm (the
// body's per-trajectory pose rule). The drawing applies it before the anchor, so that one rule
// places every arrow.
Matrix4 TrajectoryPose(const Case& theCase, int number);
// The whole placement of trajectory `number` (1-based) in world metres: the arm pose, the anchor
// and the turn.
Matrix4 TrajectoryArrowTransform(const Case& theCase, int number);
