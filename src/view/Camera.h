#pragma once

#include "base/Matrix4.h"
#include "case/Placement.h"

// The view transform: an eye offset (x, y, z) subtracted after turning the scene by yaw about Y,
// pitch about -X and roll about the viewing axis, the turns made about the pivot (the body's
// origin unless the view orbits the scene around it).
class Camera : public Placement {
public:
    static constexpr double kFieldOfView = 60.0; // degrees, vertical
    static constexpr double kNearPlane = 0.01;   // m
    static constexpr double kFarPlane = 128.0;   // m

    // The view transform as a matrix: the drawing multiplies it onto OpenGL's model-view matrix.
    Matrix4 ViewMatrix() const;
    // The perspective of a view `width` by `height` pixels (a height of 0 counts as 1). The frame,
    // the selection pass and the surface picking all project through this one matrix.
    static Matrix4 ProjectionMatrix(int width, int height);

    // The point the view turns about, in the frame the view draws in (the body's).
    void SetPivot(const Vec3& point) { pivot = point; }
    const Vec3& GetPivot() const { return pivot; }

private:
    Vec3 pivot;
};
