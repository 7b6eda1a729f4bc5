#pragma once

#include "render/PickNames.h"
#include "view/ViewModes.h"

struct FrameContext;

// The manipulation handles of the selected trajectory or element, drawn at the current origin.
// The handle `highlighted` is drawn yellow. In the selection pass each
// handle carries its own name (41, 42, 43).

// Three axes of length 1 along X (red), Y (green) and Z (blue).
void DrawMoveHandles(RenderPass pass, Handle highlighted);

// The pitch and yaw rings (and, for a selected element, the roll ring), turned with the selected
// object's heading, and an orange cross through the origin. Draws nothing when nothing is
// selected.
void DrawRotateHandles(const FrameContext& frame, RenderPass pass, Handle highlighted);
