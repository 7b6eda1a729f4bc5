#pragma once

#include <array>
#include <optional>

struct Vec3 {
    double x = 0, y = 0, z = 0;
    bool operator==(const Vec3&) const = default;
};

inline Vec3 Minus(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

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
    // The projection gluPerspective multiplies onto the stack (vertical field of view in degrees).
    static Matrix4 Perspective(double fieldOfView, double aspect, double zNear, double zFar);
    // The view gluLookAt multiplies onto the stack: the eye at `eye` looking at `center`.
    static Matrix4 LookAt(const Vec3& eye, const Vec3& center, const Vec3& up);

    Matrix4 operator*(const Matrix4& right) const;
    Vec3 TransformPoint(const Vec3& point) const;
    // The linear part only: a direction or a difference of points.
    Vec3 TransformVector(const Vec3& vector) const;
    // Empty when the matrix cannot be inverted (a zero scale, a degenerate projection).
    std::optional<Matrix4> Inverse() const;

    double At(int row, int column) const { return m_[column * 4 + row]; }
    const double* Data() const { return m_.data(); }

private:
    std::array<double, 16> m_;
};
