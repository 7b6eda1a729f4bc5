#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The case as other 3-D tools receive it: named nodes of coloured triangle sets, placed in world
// metres in the body frame (+X toward the body's left, +Y up, +Z toward its front, feet on y = 0).

struct ExportPrimitive {
    std::string materialName;                  // unique within the scene
    std::array<float, 4> color = {1, 1, 1, 1}; // red, green, blue, alpha from 0 to 1
    std::vector<float> positions;              // x, y, z per vertex
    std::vector<float> normals;                // x, y, z per vertex, unit length, or empty
    std::vector<float> colors;                 // r, g, b, a per vertex, or empty
    std::vector<uint32_t> indices;             // three per triangle, from 0
};

struct ExportNode {
    std::string name; // "Body", "Trajectory 3 (label)", "Element 2", "Uncertainty cone 3 (label)"
    std::vector<ExportPrimitive> primitives;
};

struct ExportScene {
    std::vector<ExportNode> nodes;
};

// The statement of the frame that every written scene carries.
inline constexpr const char* kExportFrameNote =
    "metres; +X toward the body's left, +Y up, +Z toward its front; feet on y = 0";
