#pragma once

#include <array>

// A positioned and oriented record: the base of the camera and the elements, and the type of the
// body's joints. Angles are degrees, lengths metres.
class Placement {
public:
    virtual ~Placement() = default;
    bool operator==(const Placement&) const = default;

    void Set(double x, double y, double z, double yaw, double pitch, double roll);
    void SetPosition(double x, double y, double z);

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

    void SetWidth(double value) { width = value; }
    void SetHeight(double value) { height = value; }
    void SetLength(double value) { length = value; }
    double GetWidth() const { return width; }
    double GetHeight() const { return height; }
    double GetLength() const { return length; }

    void SetBounds(double minX, double minY, double minZ, double maxX, double maxY, double maxZ);
    // Minimum x, y, z, then maximum x, y, z.
    const std::array<double, 6>& GetBounds() const { return bounds; }

protected:
    double x = 0, y = 0, z = 0;
    double height = 0;
    double yaw = 0, pitch = 0, roll = 0;
    double width = 0, length = 0;
    std::array<double, 6> bounds = {0, 0, 0, 0, 0, 0};
};
