#include "BodyLandmarks.h"

#include "BodyShape.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A point near the landmark, just off the skin; paired landmarks are given on the right side.
struct Seed {
    const char* name; // without "right "/"left " for paired ones
    Vec3 near;
    bool paired;
};

constexpr Seed kSeeds[] = {
    {"top of the head", {0, 2.01, 0.155}, false},
    {"nose tip", {0, 1.822, 0.31}, false},
    {"chin", {0, 1.738, 0.27}, false},
    {"ear", {-0.105, 1.86, 0.15}, true},
    {"jugular notch", {0, 1.646, 0.215}, false},
    {"vertebra prominens", {0, 1.668, 0.035}, false},
    {"clavicle", {-0.095, 1.657, 0.2}, true},
    {"acromion", {-0.212, 1.668, 0.11}, true},
    {"nipple", {-0.101, 1.456, 0.28}, true},
    {"scapula", {-0.085, 1.46, -0.01}, true},
    {"umbilicus", {0, 1.2, 0.235}, false},
    {"lumbar spine", {0, 1.18, 0.02}, false},
    {"iliac crest", {-0.175, 1.13, 0.125}, true},
    {"anterior superior iliac spine", {-0.112, 1.085, 0.22}, true},
    {"buttock", {-0.075, 0.975, -0.02}, true},
    {"gluteal fold", {-0.08, 0.9, 0.02}, true},
    {"patella", {-0.088, 0.568, 0.185}, true},
    {"lateral malleolus", {-0.145, 0.083, 0.076}, true},
    {"medial malleolus", {-0.04, 0.097, 0.088}, true},
    {"heel", {-0.09, 0.03, 0.025}, true},
};

// Newton steps along the field's gradient to the nearest skin point.
Vec3 OntoSkin(Vec3 p) {
    for (int step = 0; step < 40; ++step) {
        const double value = BodyShape::Evaluate(p);
        const Vec3 g = BodyShape::Gradient(p);
        const double g2 = Dot(g, g);
        if (g2 < 1e-12 || std::fabs(value) < 1e-7) {
            break;
        }
        p = p - g * (value / g2);
    }
    return p;
}

} // namespace

std::vector<BodyLandmark> FindBodyLandmarks() {
    std::vector<BodyLandmark> landmarks;
    for (const Seed& seed : kSeeds) {
        if (!seed.paired) {
            landmarks.push_back({seed.name, OntoSkin(seed.near)});
            continue;
        }
        landmarks.push_back({std::string("right ") + seed.name, OntoSkin(seed.near)});
        landmarks.push_back({std::string("left ") + seed.name, OntoSkin(Mirrored(seed.near))});
    }
    return landmarks;
}

bool WriteLandmarks(const std::string& path, const std::vector<BodyLandmark>& landmarks) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    std::fprintf(file, "# Landmarks of the default body man1.obj: a name, then x y z in metres.\n"
                       "# Body frame: +X toward the body's left, +Y up, +Z toward its front; "
                       "feet on y = 0,\n"
                       "# back at z = 0, as the body is drawn at its default height of 2 m.\n"
                       "# Written by tools/modelgen (target generate_default_models); do not "
                       "edit.\n");
    auto print = [file](double value) {
        const long long units = std::llround(value * 10000.0);
        std::fprintf(file, " %s%lld.%04lld", units < 0 ? "-" : "", std::llabs(units) / 10000,
                     std::llabs(units) % 10000);
    };
    for (const BodyLandmark& landmark : landmarks) {
        std::fprintf(file, "%s", landmark.name.c_str());
        print(landmark.position.x);
        print(landmark.position.y);
        print(landmark.position.z);
        std::fputc('\n', file);
    }
    const bool ok = std::ferror(file) == 0;
    return std::fclose(file) == 0 && ok;
}
