#pragma once

#include "base/Matrix4.h"

#include <vector>

// The points placed on the body surface, drawn over everything as square dots of a fixed size: a
// black rim around a cyan IN and a magenta OUT. Lighting and the depth test are off while they
// draw and on afterwards.
void DrawSurfaceMarkers(const std::vector<Vec3>& markers);

// The colours of the IN and OUT dots, for tests.
constexpr float kInMarkerColor[3] = {0.0f, 1.0f, 1.0f};
constexpr float kOutMarkerColor[3] = {1.0f, 0.0f, 1.0f};
