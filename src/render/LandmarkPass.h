#pragma once

struct FrameContext;

// Small markers at the body's landmarks where the posed skin carries them (as the body is drawn),
// each with its name while the view shows texts; nothing unless the view shows landmarks. Lighting
// is off while they draw and on afterwards.
void DrawLandmarks(const FrameContext& frame);
