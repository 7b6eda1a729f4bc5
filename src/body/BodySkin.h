#pragma once

#include "base/Matrix4.h"
#include "body/SegmentPoses.h"
#include "body/Skeleton.h"
#include "mesh/Mesh.h"
#include "mesh/MeshParts.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// How much each point of a body mesh follows each segment of the skeleton. A point of a limb
// turns rigidly with its part, except over a short band inside the limb where it meets the trunk
// (where it fades into the trunk's segment) and a short band either side of the elbow or knee
// (where the two parts meet halfway); a head point fades into the torso over a band at the neck;
// a trunk point follows the pelvis below the lumbar spine and the torso above it, blended over a
// band about the lumbar pivot. Points that coincide in the mesh get the same weights, so a border
// whose vertices were written twice still cannot open a gap. Everything is computed in the rest
// frame: the body frame at the default height and scales.
class BodySkin {
public:
    // Band widths in metres of the body at its default height.
    static constexpr double kLimbBand = 0.06;      // where an arm or leg meets the trunk
    static constexpr double kJointHalfBand = 0.03; // either side of an elbow or knee
    static constexpr double kNeckBand = 0.04;      // inside the head, from where it meets the neck
    static constexpr double kLumbarHalfBand = 0.08;
    static constexpr double kSeamHalfBand = 0.04; // either side of where the thighs meet

    struct Share {
        skeleton::Segment segment = skeleton::Segment::Pelvis;
        float weight = 0;
    };
    // At most four segments move a point: its limb's two and the trunk's, or near the seam
    // between the thighs both thighs and the pelvis.
    using Weights = std::array<Share, 4>;

    // The weights for `mesh` (its vertex v at rest lies at mesh vertex + `meshToRest`), or nothing
    // when the mesh has no triangle parts the skeleton knows (it is then carried as one piece).
    static std::optional<BodySkin> Build(const Mesh& mesh, const MeshParts& parts,
                                         const skeleton::Pivots& pivots, const Vec3& meshToRest);

    // Writes into `posed` (a copy of `model` with the same arrays) the vertices and normals of
    // `model` moved by the segments' rest-frame transforms. Normals keep their lengths, since
    // their lengths set the body's brightness.
    void Pose(const Mesh& model, const SegmentPoses& segments, Mesh& posed) const;

    // The weights of a point at rest (rest frame) that belongs to the named part.
    Weights WeightsAt(const Vec3& restPoint, std::string_view part) const;
    // The weights of mesh vertex v (an index into Mesh::positions).
    const Weights& VertexWeights(uint32_t vertex) const { return vertexWeights[vertex]; }
    // Whether the mesh has both parts of the right arm (what older files' arm pose needs).
    bool HasRightArm() const { return hasRightArm; }

private:
    // The chains of parts a band belongs to: the head, each arm, each leg.
    static constexpr int kChainCount = 5;
    struct Chain {
        int upperPart = -1, lowerPart = -1; // indices into skeleton::kPartNames
        skeleton::Segment root;             // the trunk segment the chain hangs from
        double trunkBand = kLimbBand;
    };
    static const std::array<Chain, kChainCount>& Chains();
    // Weights of a point of chain `chain`: on its upper part, its lower part or both (a joint
    // border), at these distances from the trunk border and the joint border.
    static Weights ChainWeights(const Chain& chain, bool onUpper, bool onLower, double toTrunk,
                                double toJoint);
    Weights TrunkWeights(const Vec3& restPoint) const;
    // The chain's weights at mesh-frame point p of the parts `partBits`, mixed with the other
    // thigh's near the seam between the thighs (no bits: on that seam).
    Weights SeamWeights(int chainIndex, const std::array<float, 3>& p, uint16_t partBits) const;

    class BorderGrid;
    struct Borders;
    std::shared_ptr<const Borders> borders;
    std::vector<Weights> vertexWeights;
    Vec3 meshToRest;
    double lumbarHeight = 0;
    bool hasRightArm = false;
};

// Where a rest-frame point with these weights lies after the segments' transforms.
Vec3 PoseWithWeights(const BodySkin::Weights& weights, const SegmentPoses& segments,
                     const Vec3& restPoint);
