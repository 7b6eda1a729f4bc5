#pragma once

struct FrameContext;

// Draws, for every trajectory whose direction the uncertainty allows to be determined, a
// translucent cone in the trajectory's colour: apex at the drawn entry point, opening back against
// the direction of travel (toward where the shot came from), 2 m long, with the half-angle of the
// trajectory's uncertainty. Placed like the arrow (PosedTrajectory::ArrowTransform). Drawn after
// the opaque scene, without writing depth, so everything behind it stays visible.
void DrawUncertaintyCones(const FrameContext& frame);
