#pragma once

#include "render/PickNames.h"

struct FrameContext;

// Draws every trajectory as its arrow (the full arrow when the bullet left the body, the half
// arrow otherwise) where the posed case puts it (PosedTrajectory::arrowAnchor, then arrowTurn);
// with its label, and for the selected trajectory its box and handles (at the anchor). In the
// selection pass trajectory n carries name n.
void DrawTrajectories(const FrameContext& frame, RenderPass pass);
