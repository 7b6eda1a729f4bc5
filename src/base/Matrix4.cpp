#include "base/Matrix4.h"

#include <cmath>
#include <numbers>
#include <utility>

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

Vec3 Matrix4::TransformVector(const Vec3& vector) const {
    return {At(0, 0) * vector.x + At(0, 1) * vector.y + At(0, 2) * vector.z,
            At(1, 0) * vector.x + At(1, 1) * vector.y + At(1, 2) * vector.z,
            At(2, 0) * vector.x + At(2, 1) * vector.y + At(2, 2) * vector.z};
}

Matrix4 Matrix4::Perspective(double fieldOfView, double aspect, double zNear, double zFar) {
    // Computed as GLU computes it (cosine over sine of half the angle), so that a frame set up
    // from this matrix matches one set up by gluPerspective bit for bit.
    const double radians = fieldOfView / 2 * std::numbers::pi / 180;
    const double sine = std::sin(radians);
    const double depth = zFar - zNear;
    if (depth == 0 || sine == 0 || aspect == 0) {
        return Matrix4(); // GLU leaves the stack alone
    }
    const double cotangent = std::cos(radians) / sine;
    Matrix4 result;
    result.m_[0] = cotangent / aspect;
    result.m_[5] = cotangent;
    result.m_[10] = -(zFar + zNear) / depth;
    result.m_[11] = -1;
    result.m_[14] = -2 * zNear * zFar / depth;
    result.m_[15] = 0;
    return result;
}

namespace {

Vec3 Normalized(const Vec3& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length == 0 ? v : Vec3{v.x / length, v.y / length, v.z / length};
}

} // namespace

Matrix4 Matrix4::LookAt(const Vec3& eye, const Vec3& center, const Vec3& up) {
    const Vec3 forward = Normalized({center.x - eye.x, center.y - eye.y, center.z - eye.z});
    const Vec3 side = Normalized(Cross(forward, up));
    const Vec3 upward = Cross(side, forward);
    Matrix4 rotation;
    const Vec3 rows[3] = {side, upward, {-forward.x, -forward.y, -forward.z}};
    for (int row = 0; row < 3; ++row) {
        rotation.m_[0 * 4 + row] = rows[row].x;
        rotation.m_[1 * 4 + row] = rows[row].y;
        rotation.m_[2 * 4 + row] = rows[row].z;
    }
    return rotation * Translation(-eye.x, -eye.y, -eye.z);
}

std::optional<Matrix4> Matrix4::Inverse() const {
    // Gauss-Jordan elimination with partial pivoting on [M | I].
    std::array<std::array<double, 8>, 4> rows{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            rows[row][column] = At(row, column);
        }
        rows[row][4 + row] = 1;
    }
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row) {
            if (std::abs(rows[row][column]) > std::abs(rows[pivot][column])) {
                pivot = row;
            }
        }
        const double pivotValue = rows[pivot][column];
        if (pivotValue == 0 || !std::isfinite(pivotValue)) {
            return std::nullopt;
        }
        std::swap(rows[pivot], rows[column]);
        for (double& value : rows[column]) {
            value /= pivotValue;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == column || rows[row][column] == 0) {
                continue;
            }
            const double factor = rows[row][column];
            for (int k = 0; k < 8; ++k) {
                rows[row][k] -= factor * rows[column][k];
            }
        }
    }
    Matrix4 result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            result.m_[column * 4 + row] = rows[row][4 + column];
        }
    }
    return result;
}
