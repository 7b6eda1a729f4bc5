#pragma once

#include "case/TrajectoryWorld.h"
#include <optional>

#include <string>

// One bullet trajectory (a wound track): entry point IN and exit point OUT in metres, the derived
// direction and elevation angles, an adjustment that moves only the drawn arrow, colour, arrow kind
// and label.
class Trajectory {
public:
    virtual ~Trajectory() = default;
    bool operator==(const Trajectory&) const = default;

    // Stores IN and OUT and recomputes direction and elevation.
    void SetPoints(double x1, double y1, double z1, double x2, double y2, double z2);
    double GetX1() const { return x1; }
    double GetY1() const { return y1; }
    double GetZ1() const { return z1; }
    double GetX2() const { return x2; }
    double GetY2() const { return y2; }
    double GetZ2() const { return z2; }

    double GetElevation() const { return elevation; } // radians
    double GetDirection() const { return direction; } // radians
    double GetElevationDegrees() const;
    double GetDirectionDegrees() const;
    // The bearing shown to the user, in [0, 360): 0 toward -Z, 90 toward +X. Never -0.0.
    double GetDirectionAngle() const;

    void SetDx(double value) { dx = value; }
    void SetDy(double value) { dy = value; }
    void SetDz(double value) { dz = value; }
    void SetDPitch(double value) { dPitch = value; }
    void SetDYaw(double value) { dYaw = value; }
    double GetDx() const { return dx; }
    double GetDy() const { return dy; }
    double GetDz() const { return dz; }
    double GetDPitch() const { return dPitch; }
    double GetDYaw() const { return dYaw; }

    void SetColor(double red, double green, double blue);
    double GetRed() const { return r; }
    double GetGreen() const { return g; }
    double GetBlue() const { return b; }

    // 1: the bullet left the body (full arrow); 0: it stayed inside (half arrow).
    void SetExited(int value) { exited = value; }
    int GetExited() const { return exited; }

    // Radius of the ball around IN and around OUT in which each point may lie, in metres.
    static constexpr double kDefaultUncertainty = 0.01;
    // Refuses (returns false, keeps the radius) a negative or non-finite value, and one beyond a
    // metre (value_limits::kLargestUncertainty), which no measurement on a body has.
    bool SetUncertainty(double metres);
    double GetUncertainty() const { return uncertainty; }
    // The ball around OUT alone, when it differs from IN's (same refusals); otherwise OUT's ball is
    // IN's.
    bool SetUncertaintyOut(double metres);
    void ClearUncertaintyOut() { uncertaintyOut.reset(); }
    bool HasOwnUncertaintyOut() const { return uncertaintyOut.has_value(); }
    double GetUncertaintyOut() const { return uncertaintyOut.value_or(uncertainty); }

    // Whether the arrow follows the arm and forearm when they are posed (a wound of the arm) or
    // stays where its points say (a wound of the trunk, head or legs).
    void SetWithArm(bool value) { withArm = value; }
    bool GetWithArm() const { return withArm; }

    // The body parts IN and OUT belong to ("right_forearm", "trunk", ...): a posed point moves
    // with its own part only. A trajectory from an older file may have none: it then follows the
    // arm or not, as its with-arm flag says.
    void SetParts(const std::string& in, const std::string& out) {
        inPart = in;
        outPart = out;
    }
    void ClearParts() { inPart.clear(), outPart.clear(); }
    bool HasParts() const { return !inPart.empty() && !outPart.empty(); }
    const std::string& GetInPart() const { return inPart; }
    const std::string& GetOutPart() const { return outPart; }

    void SetText(const std::string& value) { text = value; }
    const std::string& GetText() const { return text; }

    // Its exterior points and shot group.
    TrajectoryWorld& GetWorld() { return world; }
    const TrajectoryWorld& GetWorld() const { return world; }

private:
    double elevation = 0, direction = 0;
    double x1 = 0, y1 = 0, z1 = 0;
    double x2 = 0, y2 = 0, z2 = 0;
    double dx = 0, dy = 0, dz = 0;
    double dPitch = 0, dYaw = 0;
    int exited = 0;
    double r = 0, g = 0, b = 0;
    double uncertainty = kDefaultUncertainty;
    std::optional<double> uncertaintyOut;
    bool withArm = true;
    std::string inPart, outPart;
    std::string text;
    TrajectoryWorld world;
};
