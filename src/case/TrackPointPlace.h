#pragma once

#include "case/TrackPoint.h"

#include <cstddef>

struct Trajectory;

// Where a point found between IN and OUT belongs among a trajectory's points, kept in order from
// IN: after every point that lies before it along the track (measured from IN toward OUT), before
// the first that lies beyond it. When IN and OUT coincide there is no along: it goes last.
std::size_t TrackPointPlace(const Trajectory& trajectory, const Vec3& point);

// Inserts `point` at its place; false (and the trajectory unchanged) when it already holds
// Trajectory::kMaxTrackPoints.
bool InsertTrackPoint(Trajectory& trajectory, const TrackPoint& point);
