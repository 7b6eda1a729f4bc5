#pragma once

#include "base/Matrix4.h"

class Case;

// A trajectory's IN and OUT where the posed body carries them, in the body frame (metres). This
// is the track every computation beyond the body (angles of the posed track, the scene, origin
// zones, uncertainty) starts from; the measured points themselves stay as they were entered.
struct PosedTrack {
    Vec3 in;
    Vec3 out;
};

// The posed track of trajectory `number` (1-based).
PosedTrack PoseTrajectoryPoints(const Case& theCase, int number);

// Direction angle (the bearing shown to the user, [0, 360)) and elevation angle (degrees,
// positive when OUT is above IN) of the line from `in` to `out`, by the trajectory's own rule.
struct TrackAngles {
    double direction = 0;
    double elevation = 0;
};
TrackAngles AnglesOfTrack(const Vec3& in, const Vec3& out);
