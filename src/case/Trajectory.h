#pragma once

#include "base/Matrix4.h"
#include "case/ExteriorPoint.h"
#include "case/TrackPoint.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One bullet trajectory (a wound track) as the user measured it: the entry point IN and the exit
// point OUT in the body frame (metres, the body in the anatomical position), the body parts they
// lie on, how far each may be off (the radius of a ball around it), and how the track is shown:
// colour, label, arrow kind and an adjustment that moves only the drawn arrow. Outside the body
// it may carry exterior points (holes, impact marks) and the name of its shot group; inside it,
// the points the bullet passed between IN and OUT.
struct Trajectory {
    static constexpr double kDefaultRadius = 0.01; // metres
    static constexpr int kMaxExteriorPoints = 20;
    static constexpr int kMaxTrackPoints = 20;
    // A group name is a short label ("A", "volley from the door"), of at most this many characters.
    static constexpr size_t kMaxGroupLength = 80;

    Vec3 in, out;
    // The drawn arrow's shift (metres) and turns (degrees) beyond its measured place.
    Vec3 offset;
    double yawAdjustment = 0;
    double pitchAdjustment = 0;
    Vec3 color; // red, green, blue, each 0..1
    // The bullet left the body (drawn as a full arrow) or stayed inside (a half arrow).
    bool exited = false;
    // The balls around IN and around OUT in which each point may lie (metres); OUT's is IN's
    // unless it has its own.
    double radiusIn = kDefaultRadius;
    std::optional<double> radiusOut;
    // The body parts IN and OUT lie on ("right_forearm", "trunk", ...): a posed point moves with
    // its own part only. A trajectory of an older file may have none: it then follows the arm or
    // not, as `withArm` says.
    std::string inPart, outPart;
    bool withArm = true;
    std::string label;
    std::vector<ExteriorPoint> exterior; // in the order they were entered
    std::vector<TrackPoint> points;      // inside the body, in order from IN to OUT
    std::string group;                   // empty: no group

    bool operator==(const Trajectory&) const = default;

    bool HasParts() const { return !inPart.empty() && !outPart.empty(); }
    double RadiusOut() const { return radiusOut.value_or(radiusIn); }
    // A radius a measurement can have: within 0 and a metre (a ball of a metre around a point
    // already holds most of a body).
    static bool IsRadius(double metres);
};
