#pragma once

#include <array>

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// A 4x4 transform stored column-major, as OpenGL's glMultMatrixd expects. Products compose like
// OpenGL's matrix stack: A * B applies B to a point first, then A.
class Matrix4 {
public:
    Matrix4(); // identity

    static Matrix4 Identity() { return Matrix4(); }
    static Matrix4 Translation(double x, double y, double z);
    static Matrix4 Scaling(double x, double y, double z);
    // The rotation glRotated(degrees, axisX, axisY, axisZ) multiplies onto the stack.
    static Matrix4 Rotation(double degrees, double axisX, double axisY, double axisZ);

    Matrix4 operator*(const Matrix4& right) const;
    Vec3 TransformPoint(const Vec3& point) const;

    double At(int row, int column) const { return m_[column * 4 + row]; }
    const double* Data() const { return m_.data(); }

private:
    std::array<double, 16> m_;
};
