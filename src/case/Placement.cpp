#include "case/Placement.h"

void Placement::Set(double newX, double newY, double newZ, double newYaw, double newPitch,
                    double newRoll) {
    SetPosition(newX, newY, newZ);
    yaw = newYaw;
    pitch = newPitch;
    roll = newRoll;
}

void Placement::SetPosition(double newX, double newY, double newZ) {
    x = newX;
    y = newY;
    z = newZ;
}

void Placement::SetBounds(double minX, double minY, double minZ, double maxX, double maxY,
                          double maxZ) {
    bounds = {minX, minY, minZ, maxX, maxY, maxZ};
}
