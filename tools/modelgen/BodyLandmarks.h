#pragma once

#include "Vec3.h"

#include <string>
#include <vector>

// A named point on the skin that pathologists measure from.
struct BodyLandmark {
    std::string name;
    Vec3 position;
};

// The landmarks of the default body on its implicit surface (the generator's frame).
std::vector<BodyLandmark> FindBodyLandmarks();

// Writes the landmark table: comment lines, then one "name x y z" line each (metres, four
// decimals). Returns false when the file cannot be written.
bool WriteLandmarks(const std::string& path, const std::vector<BodyLandmark>& landmarks);
