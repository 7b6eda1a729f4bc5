#pragma once

// The perspective shared by the frame and the selection pass: 60 degrees vertical field of view,
// near plane 0.01 m, far plane 128 m.
void ApplyFramePerspective(int width, int height);
