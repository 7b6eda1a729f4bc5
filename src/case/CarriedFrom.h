#pragma once

#include <string>

// Where a case's trajectories came from when they were carried from a CT body to the posable
// body: the series (its folder as the CT case named it, its Series Instance UID and the SHA-256
// of its files), the CT body's length and the length the posable body was scaled to (metres),
// with the factor that scaling applied to the posable body's own length. Every point was placed
// by its height above the soles and its offsets from the midline and from the back. Empty for a
// case measured on the body it stands on.
struct CarriedFrom {
    std::string ctFolder;
    std::string seriesUid;
    std::string seriesSha256;
    double ctLength = 0;   // metres
    double bodyLength = 0; // metres
    double bodyScale = 1;  // the posable body's length / its own length before the carry

    bool IsCarried() const { return !ctFolder.empty() || !seriesUid.empty(); }
    bool operator==(const CarriedFrom&) const = default;
};
