#pragma once

#include "base/Matrix4.h"
#include "mesh/Mesh.h"
#include "mesh/MeshParts.h"

#include <cstdint>
#include <optional>
#include <vector>

// How much each vertex of a body mesh follows the upper arm and the forearm. The parts are the
// model's parts "right_arm" (upper arm) and "right_forearm" (forearm and hand). Each group turns
// rigidly, except over a short band inside the arm at the shoulder, where it fades into the
// unmoved trunk, and a short band either side of the elbow, where the two parts meet halfway.
// Points that coincide in the mesh get the same weights, so a border whose vertices were written
// twice still cannot open a gap.
class ArmSkin {
public:
    // Band widths in the fitted mesh's units (metres for a body of the fitted height).
    static constexpr double kShoulderBand = 0.06;
    static constexpr double kElbowHalfBand = 0.03;

    // The weights for the mesh, or nothing when its parts lack either arm part.
    static std::optional<ArmSkin> Build(const Mesh& mesh, const MeshParts& parts);

    // Writes into `posed` (a copy of `model` with the same arrays) the vertices and normals of
    // `model` moved by the upper-arm and forearm transforms, both given in the mesh's own frame.
    // Normals keep their lengths, since their lengths set the body's brightness.
    void Pose(const Mesh& model, const Matrix4& upperArm, const Matrix4& forearm,
              Mesh& posed) const;

    // Weights of a vertex (1-based): how much it follows the upper arm and the forearm; the rest
    // stays where it is.
    float UpperArmWeight(uint32_t vertex) const { return upperArmWeight[vertex]; }
    float ForearmWeight(uint32_t vertex) const { return forearmWeight[vertex]; }
    // Vertices that move at all, for tests and for the cost of posing.
    const std::vector<uint32_t>& MovingVertices() const { return moving; }

private:
    std::vector<float> upperArmWeight;
    std::vector<float> forearmWeight;
    std::vector<uint32_t> moving;
};
