#pragma once

#include "base/Matrix4.h"

// The view transform: an eye offset (x, y, z) subtracted after turning the scene by yaw about Y,
// pitch about -X and roll about the viewing axis, the turns made about the pivot (the body's
// origin unless the view orbits the scene around it). Angles are degrees, lengths metres.
class Camera {
public:
    static constexpr double kFieldOfView = 60.0; // degrees, vertical
    static constexpr double kNearPlane = 0.01;   // m
    static constexpr double kFarPlane = 128.0;   // m

    bool operator==(const Camera&) const = default;

    // The eye offset and the three turns at once.
    void Set(double x, double y, double z, double yaw, double pitch, double roll);

    void SetX(double value) { x = value; }
    void SetY(double value) { y = value; }
    void SetZ(double value) { z = value; }
    double GetX() const { return x; }
    double GetY() const { return y; }
    double GetZ() const { return z; }

    void SetYaw(double value) { yaw = value; }
    void SetPitch(double value) { pitch = value; }
    void SetRoll(double value) { roll = value; }
    double GetYaw() const { return yaw; }
    double GetPitch() const { return pitch; }
    double GetRoll() const { return roll; }

    // The view transform as a matrix: the drawing multiplies it onto OpenGL's model-view matrix.
    Matrix4 ViewMatrix() const;
    // The perspective of a view `width` by `height` pixels (a height of 0 counts as 1). The frame,
    // the selection pass and the surface picking all project through this one matrix.
    static Matrix4 ProjectionMatrix(int width, int height);

    // The point the view turns about, in the frame the view draws in (the body's).
    void SetPivot(const Vec3& point) { pivot = point; }
    const Vec3& GetPivot() const { return pivot; }

private:
    double x = 0, y = 0, z = 0;
    double yaw = 0, pitch = 0, roll = 0;
    Vec3 pivot;
};
