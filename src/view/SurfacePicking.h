#pragma once

#include "mesh/SurfaceRayCaster.h"

#include <optional>

class Camera;
class PosedCase;

// The ray a view pixel shows: from the near plane to the far plane of the camera's projection, in
// the body frame. (x, y) are window coordinates with y downward, so pixel (i, j) of a
// captured image has its centre at (i + 0.5, j + 0.5). Empty for a view without area.
std::optional<SurfaceRay> PixelRay(const Camera& camera, int width, int height, double x, double y);

// The first point of the posed body's surface, as drawn, under window position (x, y) of a
// width x height view through the camera, in metres in the body frame (+X to the body's left,
// +Y up, +Z to its front).
std::optional<SurfaceHit> BodySurfaceAt(const PosedCase& posed, const Camera& camera, int width,
                                        int height, double x, double y);

// Moves the camera along the ray under window position (x, y): `steps` of 10 % of the distance
// to the posed body's surface there, or of the eye's distance from the origin when the ray
// misses. Positive steps move toward the body.
void ZoomTowardPixel(const PosedCase& posed, Camera& camera, int width, int height, double x,
                     double y, double steps);
