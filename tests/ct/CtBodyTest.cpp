#include "ct/CtBody.h"
#include "base/ProgressSink.h"
#include "body/BodyModel.h"
#include "ct/CtSurface.h"
#include "ct/IsoSurface.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshSmoothing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <utility>

namespace {

constexpr double kStickVoxelMm = 6;
constexpr double kStickLengthMm = 1800;

double Squared(double v) {
    return v * v;
}

// A body 1.8 m long lying on its back, head first, the arms at its sides with air between them
// and the trunk, the hands beside the thighs, in LPS mm (x toward the left, y toward the back, z
// toward the head; the soles at z = 0). Soft tissue 40 HU in air, bone rods (700 HU) in the legs
// and the spine.
int16_t StickFigureHu(double x, double y, double z) {
    const double rLeg = std::sqrt(Squared(std::abs(x) - 100) + y * y);
    const double rArm = std::sqrt(Squared(std::abs(x) - 255) + y * y);
    if ((rLeg < 15 && z > 40 && z < 880) || (std::hypot(x, y - 60) < 15 && z > 950 && z < 1450)) {
        return 700;
    }
    const bool head = Squared(x) + Squared(y) + Squared(z - 1700) < Squared(100);
    const bool neck = std::hypot(x, y) < 55 && z > 1480 && z < 1640;
    const bool trunk = Squared(x / 170) + Squared(y / 110) < 1 && z > 880 && z < 1500;
    const bool arm = rArm < 45 && z > 750 && z < 1450;
    const bool shoulder = std::abs(x) > 140 && std::abs(x) < 280 && std::hypot(y, z - 1450) < 45;
    const bool leg = rLeg < 75 && z >= 0 && z < 920;
    return head || neck || trunk || arm || shoulder || leg ? 40 : -1000;
}

const CtVolume& StickFigure() {
    static const CtVolume volume = [] {
        CtVolume made;
        made.size = {110, 44, 306};
        made.spacing = {kStickVoxelMm, kStickVoxelMm, kStickVoxelMm};
        made.origin = {-327, -129, -12};
        made.hu.resize(static_cast<std::size_t>(made.size[0]) * made.size[1] * made.size[2]);
        for (int k = 0; k < made.size[2]; ++k) {
            for (int j = 0; j < made.size[1]; ++j) {
                for (int i = 0; i < made.size[0]; ++i) {
                    made.hu[i + static_cast<std::size_t>(made.size[0]) *
                                    (j + static_cast<std::size_t>(made.size[1]) * k)] =
                        StickFigureHu(made.origin.x + i * kStickVoxelMm,
                                      made.origin.y + j * kStickVoxelMm,
                                      made.origin.z + k * kStickVoxelMm);
                }
            }
        }
        return made;
    }();
    return volume;
}

// Every edge is shared by exactly two triangles that run it in opposite directions: the surface
// is closed and wound alike throughout. Returns the number of edges that are not.
std::size_t OpenOrMiswoundEdges(const Mesh& mesh) {
    std::map<std::pair<uint32_t, uint32_t>, int> directed;
    for (const MeshTriangle& triangle : mesh.triangles) {
        for (int corner = 0; corner < 3; ++corner) {
            ++directed[{triangle.position[corner], triangle.position[(corner + 1) % 3]}];
        }
    }
    std::size_t faults = 0;
    for (const auto& [edge, count] : directed) {
        const auto reverse = directed.find({edge.second, edge.first});
        faults += (count != 1 || reverse == directed.end() || reverse->second != 1) ? 1 : 0;
    }
    return faults;
}

const CtBodySurfaces& StickBody() {
    static const CtBodySurfaces surfaces = [] {
        CtBodySurfaces made;
        const CtBodyOptions options{.skinTriangles = 20000, .boneTriangles = 4000};
        if (!BuildCtBody(StickFigure(), options, made)) {
            made = CtBodySurfaces{};
        }
        return made;
    }();
    return surfaces;
}

TEST(CtBody, SurfacesAreClosedNearTheirTargetsAndKeepTheBodysSize) {
    const CtBodySurfaces& body = StickBody();
    ASSERT_FALSE(body.skin.triangles.empty());
    ASSERT_FALSE(body.bone.triangles.empty());
    EXPECT_EQ(OpenOrMiswoundEdges(body.skin), 0u);
    EXPECT_EQ(OpenOrMiswoundEdges(body.bone), 0u);
    EXPECT_NEAR(static_cast<double>(body.skin.triangles.size()), 20000, 1000);
    EXPECT_NEAR(static_cast<double>(body.bone.triangles.size()), 4000, 400);
    ASSERT_EQ(body.skin.normals.size(), body.skin.positions.size());
    ASSERT_EQ(body.bone.groups.size(), 1u);
    EXPECT_EQ(body.bone.groups[0].name, "bone");

    // The raw iso-surface, neither smoothed nor simplified, places the body; the built one must
    // stand within a fraction of a voxel of it.
    Mesh raw;
    ASSERT_TRUE(ExtractIsoSurface(StickFigure(), {.thresholdHu = -500}, raw));
    CtBodyFrame rawFrame;
    ASSERT_TRUE(BodyFrameOfSkin(raw, rawFrame));
    const double voxelCm = kStickVoxelMm / 10;
    const double rawLengthCm = (raw.box[5] - raw.box[2]) / 10;
    EXPECT_NEAR(body.lengthCm, rawLengthCm, 0.3 * voxelCm);
    EXPECT_NEAR(body.lengthCm, kStickLengthMm / 10, voxelCm);
    const Vec3 shift = Minus(body.frame.originLps, rawFrame.originLps);
    EXPECT_LT(std::sqrt(Dot(shift, shift)), 0.3 * kStickVoxelMm);
    // The crown of the head, in the patient frame, lands at the body's full length on the midline.
    const Vec3 crown = LpsToBody(body.frame, {0, 0, kStickLengthMm});
    EXPECT_NEAR(crown.x, 0, 0.3 * voxelCm);
    EXPECT_NEAR(crown.y, body.lengthCm, 0.5 * voxelCm);
    // Every skin vertex lies within a voxel of the raw surface's box: nothing swells or shrinks.
    for (int axis = 0; axis < 3; ++axis) {
        const int lps = axis == 0 ? 0 : axis == 1 ? 2 : 1;
        EXPECT_NEAR(body.skin.box[axis + 3] - body.skin.box[axis],
                    (raw.box[lps + 3] - raw.box[lps]) / 10, 0.5 * voxelCm);
    }
}

TEST(CtBody, SkinComesWithTheBodyModelsParts) {
    const CtBodySurfaces& body = StickBody();
    ASSERT_FALSE(body.skin.triangles.empty());
    // Every part is drawn in the skin's colour, never in whatever colour was set last.
    for (const MeshGroup& group : body.skin.groups) {
        ASSERT_LT(group.material, body.skin.materials.size()) << group.name;
        EXPECT_EQ(body.skin.materials[group.material].name, "skin") << group.name;
    }
    // Points on the skin (patient frame, mm) and the part each lies on.
    const std::vector<std::pair<Vec3, std::string>> expected = {
        {{0, 0, 1795}, "head"},           {{0, -110, 1200}, "trunk"},
        {{300, 0, 1300}, "left_arm"},     {{-300, 0, 1300}, "right_arm"},
        {{300, 0, 900}, "left_forearm"},  {{-300, 0, 850}, "right_forearm"},
        {{175, 0, 700}, "left_thigh"},    {{-175, 0, 700}, "right_thigh"},
        {{175, 0, 300}, "left_shank"},    {{-175, 0, 300}, "right_shank"},
        {{-255, 0, 755}, "right_forearm"}};
    std::unique_ptr<Mesh> skin = std::make_unique<Mesh>(body.skin);
    const MeshFit fit = MeasureFit(*skin);
    BodyModel::Loaded loaded = BodyModel::FromMesh(std::move(skin));
    ASSERT_TRUE(loaded.status) << loaded.status.message();
    ASSERT_TRUE(loaded.model->HasPostureParts());
    const std::vector<std::string>& names = loaded.model->GetParts().names;
    for (std::string_view name : skeleton::kPartNames) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
    for (std::size_t index = 0; index < expected.size(); ++index) {
        // Where the point lands once the model is fitted to the view, in the rest frame.
        const Vec3 at = LpsToBody(body.frame, expected[index].first);
        const Vec3 toRest = loaded.model->MeshToRest();
        const Vec3 rest{(at.x - fit.centre[0]) * fit.scale + toRest.x,
                        (at.y - fit.centre[1]) * fit.scale + toRest.y,
                        (at.z - fit.centre[2]) * fit.scale + toRest.z};
        EXPECT_EQ(loaded.model->PartNearest(rest), expected[index].second) << "point " << index;
    }
}

// A body whose arms lie against the trunk: no air between them, so the arms count as trunk down
// to where they leave it; the legs and the head are still told.
TEST(CtBody, ArmsTouchingTheTrunkCountAsTrunk) {
    CtVolume volume = StickFigure();
    for (int k = 0; k < volume.size[2]; ++k) {
        for (int j = 0; j < volume.size[1]; ++j) {
            for (int i = 0; i < volume.size[0]; ++i) {
                const double x = volume.origin.x + i * kStickVoxelMm;
                const double y = volume.origin.y + j * kStickVoxelMm;
                const double z = volume.origin.z + k * kStickVoxelMm;
                if (std::abs(x) < 260 && std::abs(y) < 40 && z > 1000 && z < 1400) {
                    volume.hu[i + static_cast<std::size_t>(volume.size[0]) *
                                      (j + static_cast<std::size_t>(volume.size[1]) * k)] = 40;
                }
            }
        }
    }
    CtBodySurfaces body;
    ASSERT_TRUE(BuildCtBody(volume, {.skinTriangles = 20000, .boneTriangles = 4000}, body));
    std::map<std::string, std::size_t> triangles;
    for (const MeshGroup& group : body.skin.groups) {
        triangles[group.name] = group.triangleIndices.size();
    }
    EXPECT_GT(triangles["head"], 0u);
    EXPECT_GT(triangles["left_thigh"], 0u);
    EXPECT_GT(triangles["right_shank"], 0u);
    EXPECT_GT(triangles["left_forearm"], 0u); // below the bridge, the arm hangs free again
    EXPECT_EQ(triangles["left_arm"], 0u);     // above it, it touches the trunk all the way
}

struct CancelAtHalf : ProgressSink {
    void SetProgress(int position) override { last = position; }
    bool CancelRequested() const override { return last >= 30; }
    int last = 0;
};

TEST(CtBody, CancelStopsAndTheThreadsDoNotChangeTheResult) {
    CancelAtHalf cancel;
    CtBodySurfaces stopped;
    const CtBodyOptions options{.skinTriangles = 20000, .boneTriangles = 4000, .threads = 2};
    EXPECT_FALSE(BuildCtBody(StickFigure(), options, stopped, &cancel));
    EXPECT_TRUE(stopped.skin.triangles.empty());
    EXPECT_TRUE(stopped.bone.triangles.empty());
    EXPECT_LE(cancel.last, 60); // the bone was never begun

    CtBodySurfaces one;
    CtBodyOptions single = options;
    single.threads = 1;
    ASSERT_TRUE(BuildCtBody(StickFigure(), single, one));
    const CtBodySurfaces& two = StickBody(); // every core
    CtBodySurfaces three;
    CtBodyOptions many = options;
    many.threads = 3;
    ASSERT_TRUE(BuildCtBody(StickFigure(), many, three));
    for (const CtBodySurfaces* other : std::array<const CtBodySurfaces*, 2>{&two, &three}) {
        ASSERT_EQ(one.skin.positions.size(), other->skin.positions.size());
        EXPECT_TRUE(std::equal(
            one.skin.positions.begin(), one.skin.positions.end(), other->skin.positions.begin(),
            [](const Vec3f& a, const Vec3f& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }));
        ASSERT_EQ(one.skin.triangles.size(), other->skin.triangles.size());
        for (std::size_t t = 0; t < one.skin.triangles.size(); ++t) {
            ASSERT_EQ(one.skin.triangles[t].position, other->skin.triangles[t].position);
        }
        EXPECT_EQ(one.bone.triangles.size(), other->bone.triangles.size());
    }
}

// The surface built chunk by chunk joins its chunks without a seam: on a long volume with many
// chunks and a tall thin body, before any simplification (a target above the raw count), it is
// the raw iso-surface smoothed as a whole.
TEST(CtBody, ChunkedSurfaceIsTheWholeSurfaceSmoothed) {
    CtVolume volume;
    volume.size = {12, 12, 400};
    volume.spacing = {1, 1, 1};
    volume.hu.assign(12 * 12 * 400, -1000);
    for (int k = 2; k < 398; ++k) {
        for (int j = 3; j < 9; ++j) {
            for (int i = 3; i < 9; ++i) {
                volume.hu[i + 12 * (j + 12 * k)] = 40;
            }
        }
    }
    Mesh built;
    ASSERT_TRUE(BuildCtSurface(volume, {.thresholdHu = -500, .targetTriangles = 1000000}, built));
    Mesh whole;
    ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = -500}, whole));
    SmoothTaubin(whole, {.iterations = 10});
    ASSERT_EQ(built.triangles.size(), whole.triangles.size());
    ASSERT_EQ(built.positions.size(), whole.positions.size());
    EXPECT_EQ(OpenOrMiswoundEdges(built), 0u);
    // The vertices come in another order; each built one has its twin in the whole.
    std::vector<Vec3f> twins = whole.positions;
    const auto byZ = [](const Vec3f& a, const Vec3f& b) { return a.z < b.z; };
    std::sort(twins.begin(), twins.end(), byZ);
    double worst = 0;
    for (const Vec3f& p : built.positions) {
        double nearest = 1e30;
        for (auto twin =
                 std::lower_bound(twins.begin(), twins.end(), Vec3f{0, 0, p.z - 0.01f}, byZ);
             twin != twins.end() && twin->z < p.z + 0.01f; ++twin) {
            nearest = std::min(nearest, std::sqrt(Dot(Minus(ToVec3(*twin), ToVec3(p)),
                                                      Minus(ToVec3(*twin), ToVec3(p)))));
        }
        worst = std::max(worst, nearest);
    }
    EXPECT_LT(worst, 1e-3);
}

} // namespace
