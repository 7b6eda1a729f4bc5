#pragma once

#include "base/Matrix4.h"

class Body;
struct Trajectory;

// Which measured point of a trajectory a placement moves.
enum class TrajectoryEnd { In, Out };

// Puts IN or OUT of the trajectory at a body-frame point at rest (metres), with the body part
// nearest to it. A trajectory moves with two parts or none: the other point of one from an older
// file, which has no part, takes the part nearest to it.
void PlaceTrajectoryEnd(Trajectory& trajectory, TrajectoryEnd end, const Vec3& metres,
                        const Body& body);
