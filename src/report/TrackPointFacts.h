#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct Trajectory;
struct TrackLine;

// A point between IN and OUT as the report states it: where it was measured (body frame, cm, the
// body in the anatomical position), the ball it is known within, the body part it moves with,
// where it lies on the body without landmarks, and how far the track's fitted line passes from it.
struct TrackPointFacts {
    std::array<double, 3> cm{};
    double radiusCm = 0;
    std::string part; // its own part, or that of the stop before it; empty when none is known
    std::string description;
    double misfitCm = 0;
    bool offLine = false; // farther from the line than twice its radius
};

// A straight piece of a track of several parts: its first and last stops (0 is IN, the last
// index OUT), the part it runs through and its angles (the measured points).
struct TrackPieceFacts {
    std::size_t firstStop = 0, lastStop = 0;
    std::string part;
    double direction = 0, elevation = 0;
};

// What a track with points between IN and OUT adds to the report: the points, IN's and OUT's own
// misfits, whether every stop lies on the line, the pieces and the angle between each piece and
// the next (degrees).
struct TrackPointsFacts {
    std::vector<TrackPointFacts> points;
    // False when no line could be fitted (the stops coincide): the misfits are then not defined.
    bool fitted = false;
    double inRadiusCm = 0, outRadiusCm = 0;
    double inMisfitCm = 0, outMisfitCm = 0;
    bool inOffLine = false, outOffLine = false;
    bool onOneLine = true;
    std::vector<TrackPieceFacts> pieces;
    std::vector<double> deflection;
};

// The points of `trajectory` with the misfits of `line`, the line fitted through its stops as
// measured; nothing without a line.
TrackPointsFacts GatherTrackPoints(const Trajectory& trajectory,
                                   const std::optional<TrackLine>& line);

// Where a body point (metres) lies from the three planes every body frame has, without a
// landmark: "4.0 cm left of the midline, 131.0 cm above the soles, 8.5 cm in front of the back".
// A CT body and a body model both stand on y = 0 with the back at z = 0 and the midline at x = 0.
std::string DescribeFromBodyPlanes(double x, double y, double z);
