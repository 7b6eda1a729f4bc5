#include "body/BodySkin.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

using skeleton::Segment;

namespace {

using Point = std::array<float, 3>;

struct PointHash {
    size_t operator()(const Point& p) const {
        uint32_t bits[3];
        std::memcpy(bits, p.data(), sizeof bits);
        size_t h = bits[0];
        h = h * 1000003u ^ bits[1];
        h = h * 1000003u ^ bits[2];
        return h;
    }
};

Point PointOf(const Mesh& mesh, uint32_t vertex) {
    const Vec3f& v = mesh.positions[vertex];
    // Adding zero turns -0 into +0, so that both spellings of a border point weld.
    return {v.x + 0.0f, v.y + 0.0f, v.z + 0.0f};
}

// Each vertex's representative: the first vertex at exactly the same position. The vertices seen
// so far sit in an open-addressed table of vertex numbers + 1 (0: empty), probed from their
// position's hash; a position that is not equal to itself (NaN) never matches and stays its own.
std::vector<uint32_t> WeldByPosition(const Mesh& mesh) {
    const size_t vertices = mesh.positions.size();
    std::vector<uint32_t> representative(vertices, 0);
    size_t slotCount = 16;
    while (slotCount < 2 * vertices) {
        slotCount *= 2;
    }
    const size_t mask = slotCount - 1;
    std::vector<uint32_t> slots(slotCount, 0);
    for (uint32_t v = 0; v < vertices; ++v) {
        const Point p = PointOf(mesh, v);
        // The product's high bits mix every bit of the position into the slot number.
        size_t slot =
            static_cast<size_t>((uint64_t{PointHash()(p)} * 0x9E3779B97F4A7C15u) >> 32) & mask;
        while (slots[slot] != 0 && PointOf(mesh, slots[slot] - 1) != p) {
            slot = (slot + 1) & mask;
        }
        if (slots[slot] == 0) {
            slots[slot] = v + 1;
        }
        representative[v] = slots[slot] - 1;
    }
    return representative;
}

double SmoothStep(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

} // namespace

// Border points sorted into cubes of the band's width, so that a point's distance to the nearest
// border point within one band is found among the 27 cubes around it, whatever the mesh's size.
class BodySkin::BorderGrid {
public:
    BorderGrid() : cell(1) {}
    BorderGrid(const std::vector<Point>& points, double cellSize) : cell(cellSize) {
        for (const Point& p : points) {
            const Cell c = CellOf(p[0], p[1], p[2]);
            cells[c].push_back(p);
            for (int axis = 0; axis < 3; ++axis) {
                lowest[axis] = std::min(lowest[axis], c[axis]);
                highest[axis] = std::max(highest[axis], c[axis]);
            }
        }
    }

    // The distance to the nearest border point when it is within one cell; infinity otherwise
    // (farther than the band, which weighs the same).
    double NearestWithinBand(const Point& p) const {
        const Cell at = CellOf(p[0], p[1], p[2]);
        // Most of a limb lies farther than a cell from the cubes that hold its borders: none of
        // the 27 cubes around such a point holds one.
        for (int axis = 0; axis < 3; ++axis) {
            if (at[axis] < lowest[axis] - 1 || at[axis] > highest[axis] + 1) {
                return std::numeric_limits<double>::infinity();
            }
        }
        const auto [cx, cy, cz] = at;
        double best = std::numeric_limits<double>::infinity();
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    const auto found = cells.find({cx + dx, cy + dy, cz + dz});
                    if (found == cells.end()) {
                        continue;
                    }
                    for (const Point& q : found->second) {
                        const double ex = p[0] - q[0], ey = p[1] - q[1], ez = p[2] - q[2];
                        best = std::min(best, ex * ex + ey * ey + ez * ez);
                    }
                }
            }
        }
        const double distance = std::sqrt(best);
        return distance <= cell ? distance : std::numeric_limits<double>::infinity();
    }

private:
    using Cell = std::array<int64_t, 3>;
    struct CellHash {
        size_t operator()(const Cell& c) const {
            return static_cast<size_t>(static_cast<uint64_t>(c[0]) * 73856093u ^
                                       static_cast<uint64_t>(c[1]) * 19349663u ^
                                       static_cast<uint64_t>(c[2]) * 83492791u);
        }
    };
    Cell CellOf(double x, double y, double z) const { return {Index(x), Index(y), Index(z)}; }
    // Fitted meshes lie within a unit box; the clamp only keeps a corrupt value convertible.
    int64_t Index(double coordinate) const {
        const double index = std::floor(coordinate / cell);
        return std::isfinite(index) ? static_cast<int64_t>(std::clamp(index, -1e12, 1e12)) : 0;
    }

    double cell;
    std::unordered_map<Cell, std::vector<Point>, CellHash> cells;
    // The range of the cubes that hold a point (empty while lowest exceeds highest).
    Cell lowest = {std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max(),
                   std::numeric_limits<int64_t>::max()};
    Cell highest = {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::min(),
                    std::numeric_limits<int64_t>::min()};
};

struct BodySkin::Borders {
    // Per chain: where it meets the trunk, and where its upper part meets its lower part.
    std::array<BorderGrid, kChainCount> trunk;
    std::array<BorderGrid, kChainCount> joint;
    // Where the two thighs meet below the crotch: each leg's seam with the other.
    std::array<BorderGrid, kChainCount> seam;
};

namespace {

using Matrix3 = std::array<std::array<double, 3>, 3>;

std::array<double, 3> Cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The normal under the linear map a: along the cofactor matrix times n (the inverse transpose up
// to the determinant), with its original length.
void TransformNormal(const Matrix3& a, Vec3f& n) {
    const std::array<std::array<double, 3>, 3> cofactor = {Cross(a[1], a[2]), Cross(a[2], a[0]),
                                                           Cross(a[0], a[1])};
    const double det =
        a[0][0] * cofactor[0][0] + a[0][1] * cofactor[0][1] + a[0][2] * cofactor[0][2];
    const double length =
        std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
    double out[3];
    for (int r = 0; r < 3; ++r) {
        out[r] = cofactor[r][0] * n[0] + cofactor[r][1] * n[1] + cofactor[r][2] * n[2];
    }
    const double outLength = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    if (outLength == 0.0 || length == 0.0 || !std::isfinite(outLength)) {
        return; // a zero normal stays zero; a collapsed map leaves the normal as it was
    }
    const double factor = (det < 0 ? -length : length) / outLength;
    for (int r = 0; r < 3; ++r) {
        n[r] = static_cast<float>(out[r] * factor);
    }
}

constexpr int kTrunkPart = 1;            // "trunk" in skeleton::kPartNames
constexpr uint16_t kTrunkBit = 1u << 10; // the trunk, and any part the skeleton does not know

// The index in skeleton::kPartNames of a model's part name; older models' whole legs count as
// thighs. Unknown names count as the trunk.
int PartIndex(std::string_view name) {
    if (name == "right_leg") {
        name = "right_thigh";
    } else if (name == "left_leg") {
        name = "left_thigh";
    }
    for (size_t i = 0; i < skeleton::kPartNames.size(); ++i) {
        if (skeleton::kPartNames[i] == name) {
            return static_cast<int>(i);
        }
    }
    return kTrunkPart;
}

uint16_t BitOf(int partIndex) {
    return partIndex == kTrunkPart ? kTrunkBit : static_cast<uint16_t>(1u << partIndex);
}

// The linear part of a blend, as the identity plus each share of its segment's difference from
// the identity, so that a point that nothing moves keeps its normal bit for bit.
Matrix3 BlendedLinearPart(const BodySkin::Weights& weights, const SegmentPoses& segments) {
    Matrix3 a{};
    for (int r = 0; r < 3; ++r) {
        a[r][r] = 1.0;
    }
    for (const BodySkin::Share& share : weights) {
        if (share.weight == 0) {
            continue;
        }
        const Matrix4& m = segments[share.segment];
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                a[r][c] += share.weight * (m.At(r, c) - (r == c ? 1.0 : 0.0));
            }
        }
    }
    return a;
}

// The point plus each share of the way its segment moves it: a point that nothing moves stays
// exactly where it was.
Vec3 Blend(const BodySkin::Weights& weights, const SegmentPoses& segments, const Vec3& p) {
    Vec3 out = p;
    for (const BodySkin::Share& share : weights) {
        if (share.weight == 0) {
            continue;
        }
        const Vec3 q = segments[share.segment].TransformPoint(p);
        out = {out.x + share.weight * (q.x - p.x), out.y + share.weight * (q.y - p.y),
               out.z + share.weight * (q.z - p.z)};
    }
    return out;
}

} // namespace

const std::array<BodySkin::Chain, BodySkin::kChainCount>& BodySkin::Chains() {
    static const std::array<Chain, kChainCount> chains = {{
        {0, -1, Segment::Torso, kNeckBand},
        {2, 3, Segment::Torso, kLimbBand},
        {4, 5, Segment::Torso, kLimbBand},
        {6, 7, Segment::Pelvis, kLimbBand},
        {8, 9, Segment::Pelvis, kLimbBand},
    }};
    return chains;
}

namespace {

// The other leg of a leg's chain (the thighs meet below the crotch), or -1.
int OtherLeg(int chain) {
    return chain == 3 ? 4 : chain == 4 ? 3 : -1;
}

// `a` with the share `t` of `b` mixed in; the pelvis and torso shares of both add up.
BodySkin::Weights Mix(const BodySkin::Weights& a, const BodySkin::Weights& b, double t) {
    std::array<double, skeleton::kSegmentCount> total{};
    for (const BodySkin::Share& s : a) {
        total[static_cast<size_t>(s.segment)] += (1 - t) * s.weight;
    }
    for (const BodySkin::Share& s : b) {
        total[static_cast<size_t>(s.segment)] += t * s.weight;
    }
    BodySkin::Weights mixed{};
    size_t used = 0;
    for (size_t segment = 0; segment < total.size(); ++segment) {
        if (total[segment] > 0 && used < mixed.size()) {
            mixed[used++] = {static_cast<Segment>(segment), static_cast<float>(total[segment])};
        }
    }
    return mixed;
}

// The chain a part belongs to, or -1 for the trunk.
int ChainOfPart(int partIndex) {
    static constexpr std::array<int, 10> kChainOf = {0, -1, 1, 1, 2, 2, 3, 3, 4, 4};
    return kChainOf[static_cast<size_t>(partIndex)];
}

} // namespace

BodySkin::Weights BodySkin::ChainWeights(const Chain& chain, bool onUpper, bool onLower,
                                         double toTrunk, double toJoint) {
    const double follow = SmoothStep(toTrunk / chain.trunkBand);
    const Segment upper = *skeleton::SegmentOfPart(skeleton::kPartNames[chain.upperPart]);
    if (chain.lowerPart < 0) {
        return {{{upper, static_cast<float>(follow)},
                 {chain.root, static_cast<float>(1.0 - follow)},
                 {}}};
    }
    const Segment lower = *skeleton::SegmentOfPart(skeleton::kPartNames[chain.lowerPart]);
    const double fade = SmoothStep(toJoint / kJointHalfBand);
    double lowerShare = 0;
    if (onUpper && onLower) {
        lowerShare = 0.5; // on the joint's border itself
    } else if (onLower) {
        lowerShare = 0.5 + 0.5 * fade;
    } else {
        lowerShare = 0.5 - 0.5 * fade;
    }
    return {{{upper, static_cast<float>(follow * (1.0 - lowerShare))},
             {lower, static_cast<float>(follow * lowerShare)},
             {chain.root, static_cast<float>(1.0 - follow)}}};
}

BodySkin::Weights BodySkin::SeamWeights(int chainIndex, const Point& p, uint16_t partBits) const {
    const Chain& chain = Chains()[chainIndex];
    const int other = OtherLeg(chainIndex);
    if (partBits == 0 && other >= 0) {
        // On the seam between the thighs: halfway between the two, each faded into the pelvis.
        const Weights own =
            ChainWeights(chain, true, false, borders->trunk[chainIndex].NearestWithinBand(p),
                         borders->joint[chainIndex].NearestWithinBand(p));
        const Weights theirs =
            ChainWeights(Chains()[other], true, false, borders->trunk[other].NearestWithinBand(p),
                         borders->joint[other].NearestWithinBand(p));
        return Mix(own, theirs, 0.5);
    }
    const Weights own = ChainWeights(chain, partBits & BitOf(chain.upperPart),
                                     chain.lowerPart >= 0 && (partBits & BitOf(chain.lowerPart)),
                                     borders->trunk[chainIndex].NearestWithinBand(p),
                                     borders->joint[chainIndex].NearestWithinBand(p));
    if (other < 0) {
        return own;
    }
    const double toSeam = borders->seam[chainIndex].NearestWithinBand(p);
    if (!std::isfinite(toSeam)) {
        return own;
    }
    const Weights theirs =
        ChainWeights(Chains()[other], true, false, borders->trunk[other].NearestWithinBand(p),
                     borders->joint[other].NearestWithinBand(p));
    return Mix(own, theirs, 0.5 - 0.5 * SmoothStep(toSeam / kSeamHalfBand));
}

BodySkin::Weights BodySkin::TrunkWeights(const Vec3& restPoint) const {
    const double torso =
        SmoothStep((restPoint.y - (lumbarHeight - kLumbarHalfBand)) / (2 * kLumbarHalfBand));
    return {{{Segment::Torso, static_cast<float>(torso)},
             {Segment::Pelvis, static_cast<float>(1.0 - torso)},
             {}}};
}

std::optional<BodySkin> BodySkin::Build(const Mesh& mesh, const MeshParts& meshParts,
                                        const skeleton::Pivots& pivots, const Vec3& meshToRest) {
    if (meshParts.triangleParts.size() != mesh.triangles.size()) {
        return std::nullopt;
    }
    std::vector<int> partIndex(meshParts.names.size());
    bool knowsAPart = false;
    for (size_t i = 0; i < meshParts.names.size(); ++i) {
        partIndex[i] = PartIndex(meshParts.names[i]);
        knowsAPart = knowsAPart || partIndex[i] != kTrunkPart || meshParts.names[i] == "trunk";
    }
    if (!knowsAPart) {
        return std::nullopt;
    }
    const std::vector<uint32_t> representative = WeldByPosition(mesh);
    const size_t vertices = mesh.positions.size();
    std::vector<uint16_t> parts(vertices, 0);
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        const uint32_t part = meshParts.triangleParts[t];
        const uint16_t bit = part < partIndex.size() ? BitOf(partIndex[part]) : kTrunkBit;
        for (const uint32_t v : mesh.triangles[t].position) {
            if (v < vertices) {
                parts[representative[v]] |= bit;
            }
        }
    }

    BodySkin skin;
    skin.meshToRest = meshToRest;
    skin.lumbarHeight = pivots[skeleton::Joint::Trunk].y;
    skin.hasRightArm = meshParts.Find("right_arm") && meshParts.Find("right_forearm");
    std::array<std::vector<Point>, kChainCount> trunkBorder, jointBorder, seamPoints;
    for (uint32_t v = 0; v < vertices; ++v) {
        if (representative[v] != v) {
            continue;
        }
        for (int c = 0; c < kChainCount; ++c) {
            const Chain& chain = Chains()[c];
            const uint16_t upperBit = BitOf(chain.upperPart);
            const uint16_t lowerBit = chain.lowerPart < 0 ? 0 : BitOf(chain.lowerPart);
            const uint16_t p = parts[v];
            if ((p & kTrunkBit) && (p & (upperBit | lowerBit))) {
                trunkBorder[c].push_back(PointOf(mesh, v));
            } else if ((p & upperBit) && (p & lowerBit)) {
                jointBorder[c].push_back(PointOf(mesh, v));
            }
            const int other = OtherLeg(c);
            if (other >= 0 && (p & upperBit) && (p & BitOf(Chains()[other].upperPart))) {
                seamPoints[c].push_back(PointOf(mesh, v));
            }
        }
    }
    auto borders = std::make_shared<Borders>();
    for (int c = 0; c < kChainCount; ++c) {
        borders->trunk[c] = BorderGrid(trunkBorder[c], Chains()[c].trunkBand);
        borders->joint[c] = BorderGrid(jointBorder[c], kJointHalfBand);
        borders->seam[c] = BorderGrid(seamPoints[c], kSeamHalfBand);
    }
    skin.borders = borders;

    skin.vertexWeights.assign(vertices, Weights{});
    for (uint32_t v = 0; v < vertices; ++v) {
        const uint32_t r = representative[v];
        if (r != v) {
            skin.vertexWeights[v] = skin.vertexWeights[r];
            continue;
        }
        const Point p = PointOf(mesh, v);
        const Vec3 rest = {p[0] + meshToRest.x, p[1] + meshToRest.y, p[2] + meshToRest.z};
        int chainOfVertex = -1;
        for (int c = 0; c < kChainCount && !(parts[v] & kTrunkBit); ++c) {
            const Chain& chain = Chains()[c];
            const uint16_t bits = static_cast<uint16_t>(
                BitOf(chain.upperPart) | (chain.lowerPart < 0 ? 0 : BitOf(chain.lowerPart)));
            if (parts[v] != 0 && (parts[v] & ~bits) == 0) {
                chainOfVertex = c;
            }
        }
        if (chainOfVertex < 0) {
            const bool thighSeam = !(parts[v] & kTrunkBit) &&
                                   (parts[v] & BitOf(Chains()[3].upperPart)) &&
                                   (parts[v] & BitOf(Chains()[4].upperPart));
            skin.vertexWeights[v] = thighSeam ? skin.SeamWeights(3, p, 0) : skin.TrunkWeights(rest);
            continue;
        }
        skin.vertexWeights[v] = skin.SeamWeights(chainOfVertex, p, parts[v]);
    }
    return skin;
}

BodySkin::Weights BodySkin::WeightsAt(const Vec3& restPoint, std::string_view part) const {
    const int index = PartIndex(part);
    const int chainIndex = ChainOfPart(index);
    if (chainIndex < 0) {
        return TrunkWeights(restPoint);
    }
    const Point p = {static_cast<float>(restPoint.x - meshToRest.x),
                     static_cast<float>(restPoint.y - meshToRest.y),
                     static_cast<float>(restPoint.z - meshToRest.z)};
    return SeamWeights(chainIndex, p, BitOf(index));
}

void BodySkin::Pose(const Mesh& model, const SegmentPoses& segments, Mesh& posed) const {
    posed.positions = model.positions;
    posed.normals = model.normals;
    for (size_t v = 0; v < model.positions.size(); ++v) {
        Vec3f& out = posed.positions[v];
        const Vec3 rest = {out.x + meshToRest.x, out.y + meshToRest.y, out.z + meshToRest.z};
        const Vec3 moved = Blend(vertexWeights[v], segments, rest);
        out = ToVec3f(Minus(moved, meshToRest));
    }
    if (posed.normals.empty()) {
        return;
    }
    // A normal turns with the vertex of the first corner that uses it.
    std::vector<uint8_t> done(model.normals.size(), 0);
    for (const MeshTriangle& triangle : model.triangles) {
        for (int c = 0; c < 3; ++c) {
            const uint32_t v = triangle.position[c];
            const uint32_t n = triangle.normal[c];
            if (n >= model.normals.size() || done[n] || v >= model.positions.size()) {
                continue;
            }
            done[n] = 1;
            TransformNormal(BlendedLinearPart(vertexWeights[v], segments), posed.normals[n]);
        }
    }
}

Vec3 PoseWithWeights(const BodySkin::Weights& weights, const SegmentPoses& segments,
                     const Vec3& restPoint) {
    return Blend(weights, segments, restPoint);
}
