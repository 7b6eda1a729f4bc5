#pragma once

#include "scene/Matrix4.h"
#include "scene/Object.h"

// The view transform: an eye offset (x, y, z) subtracted after turning the scene by yaw about Y,
// pitch about -X and roll about the viewing axis.
class VkCamera : public Object {
public:
    // The matrix Apply multiplies onto OpenGL's current matrix.
    Matrix4 ViewMatrix() const;
    // Multiplies the view transform onto the current OpenGL matrix (defined by the rendering
    // library; the core never calls it).
    void Apply() const;
};
