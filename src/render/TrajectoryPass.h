#pragma once

#include "render/PickNames.h"

struct FrameContext;

// Draws every trajectory as its arrow (the full arrow when the bullet left the body, the half
// arrow otherwise) placed at the adjusted entry point, turned by direction, yaw adjustment,
// elevation and pitch adjustment, and carried by the arm pose; with its label, and for the
// selected trajectory its box and handles. In the selection pass trajectory n carries name n.
void DrawTrajectories(const FrameContext& frame, RenderPass pass);
