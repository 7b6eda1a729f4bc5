#include "body/BodyPointDescription.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Centimetres with one decimal, never "-0.0".
std::string Centimetres(double metres) {
    const double tenths = std::round(std::fabs(metres) * 1000.0);
    return FormatFixed(tenths / 10.0, 0, 1) + " cm";
}

std::string FromMidline(double x) {
    if (std::round(std::fabs(x) * 1000.0) == 0) {
        return "on the midline";
    }
    return Centimetres(x) + (x > 0 ? " left of the midline" : " right of the midline");
}

std::string FromHeel(double y) {
    if (std::round(std::fabs(y) * 1000.0) == 0) {
        return "level with the heel";
    }
    return Centimetres(y) + (y > 0 ? " above the heel" : " below the heel");
}

struct Offset {
    long long centimetres;
    const char* relation;
};

std::string FromLandmark(const Vec3& point, const Landmark& landmark) {
    const double dx = point.x - landmark.position.x;
    const double dy = point.y - landmark.position.y;
    const double dz = point.z - landmark.position.z;
    std::vector<Offset> offsets = {
        {std::llround(std::fabs(dy) * 100.0), dy > 0 ? "above" : "below"},
        {std::llround(std::fabs(dx) * 100.0), dx > 0 ? "left of" : "right of"},
        {std::llround(std::fabs(dz) * 100.0), dz > 0 ? "in front of" : "behind"},
    };
    std::erase_if(offsets, [](const Offset& o) { return o.centimetres == 0; });
    if (offsets.empty()) {
        return "at the " + landmark.name;
    }
    std::stable_sort(offsets.begin(), offsets.end(), [](const Offset& a, const Offset& b) {
        return a.centimetres > b.centimetres;
    });
    std::string text;
    for (size_t i = 0; i < offsets.size(); ++i) {
        if (i > 0) {
            text += i + 1 == offsets.size() ? " and " : ", ";
        }
        text += std::to_string(offsets[i].centimetres) + " cm " + offsets[i].relation;
    }
    return text + " the " + landmark.name;
}

} // namespace

std::string DescribeBodyPoint(const Vec3& point, const LandmarkTable& landmarks) {
    std::string text = FromMidline(point.x) + ", " + FromHeel(point.y);
    if (const Landmark* nearest = landmarks.Nearest(point)) {
        text += ", " + FromLandmark(point, *nearest);
    }
    return text;
}
