#include "scene/Matrix4.h"

#include <cmath>
#include <numbers>

Matrix4::Matrix4() : m_{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

Matrix4 Matrix4::Translation(double x, double y, double z) {
    Matrix4 result;
    result.m_[12] = x;
    result.m_[13] = y;
    result.m_[14] = z;
    return result;
}

Matrix4 Matrix4::Scaling(double x, double y, double z) {
    Matrix4 result;
    result.m_[0] = x;
    result.m_[5] = y;
    result.m_[10] = z;
    return result;
}

Matrix4 Matrix4::Rotation(double degrees, double axisX, double axisY, double axisZ) {
    const double length = std::sqrt(axisX * axisX + axisY * axisY + axisZ * axisZ);
    if (length == 0.0) {
        return Matrix4(); // no axis, no turn (as the GL stack treats it)
    }
    const double x = axisX / length, y = axisY / length, z = axisZ / length;
    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;

    Matrix4 result;
    auto set = [&result](int row, int column, double value) {
        result.m_[column * 4 + row] = value;
    };
    set(0, 0, x * x * t + c);
    set(0, 1, x * y * t - z * s);
    set(0, 2, x * z * t + y * s);
    set(1, 0, y * x * t + z * s);
    set(1, 1, y * y * t + c);
    set(1, 2, y * z * t - x * s);
    set(2, 0, x * z * t - y * s);
    set(2, 1, y * z * t + x * s);
    set(2, 2, z * z * t + c);
    return result;
}

Matrix4 Matrix4::operator*(const Matrix4& right) const {
    Matrix4 result;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += At(row, k) * right.At(k, column);
            }
            result.m_[column * 4 + row] = sum;
        }
    }
    return result;
}

Vec3 Matrix4::TransformPoint(const Vec3& point) const {
    const double in[4] = {point.x, point.y, point.z, 1.0};
    double out[4] = {0, 0, 0, 0};
    for (int row = 0; row < 4; ++row) {
        for (int k = 0; k < 4; ++k) {
            out[row] += At(row, k) * in[k];
        }
    }
    if (out[3] != 0.0 && out[3] != 1.0) {
        return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
    }
    return {out[0], out[1], out[2]};
}
