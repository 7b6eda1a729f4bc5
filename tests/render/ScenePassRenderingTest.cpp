#include "support/RenderTestSupport.h"

#include "mesh/MeshNormals.h"
#include "mesh/io/obj/ObjReader.h"
#include "world/OriginAnalysis.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

bool Same(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// A wall of the scene 2 m wide and high across z = -1, facing +Z.
std::shared_ptr<const Mesh> WallBehind() {
    ObjReadResult read = ReadObjFromMemory(
        "v -1 0 -1\nv 1 0 -1\nv 1 2 -1\nv -1 2 -1\nf 1 2 3\nf 1 3 4\n", "wall.obj",
        [](const std::string&) { return std::optional<std::string>(); });
    EXPECT_TRUE(read.mesh) << read.error;
    ComputeFacetNormals(*read.mesh);
    ComputeVertexNormals(*read.mesh, 30.0f);
    return std::shared_ptr<const Mesh>(std::move(read.mesh));
}

} // namespace

TEST(ScenePassRendering, TheSceneModelIsDrawnWhereTheBodysPlacementPutsItAndCanBeHidden) {
    RenderHarness h;
    ASSERT_TRUE(h.Ready()) << h.Error();
    const auto pixelAt = [&h](double x, double y, double z) {
        const auto at = h.Project(x, y, z);
        return h.Pixel(static_cast<int>(at[0]), static_cast<int>(at[1]));
    };
    h.Render();
    const Rgb empty = pixelAt(-0.6, 1.5, -1);
    h.GetCase().world.sceneMesh = WallBehind();
    h.Render();
    const Rgb wall = pixelAt(-0.6, 1.5, -1);
    EXPECT_FALSE(Same(wall, empty));
    h.GetView().ToggleScene();
    h.Render();
    EXPECT_TRUE(Same(pixelAt(-0.6, 1.5, -1), empty)) << "hidden by its switch";
    h.GetView().ToggleScene();
    h.GetView().ToggleSceneTransparency();
    h.Render();
    const Rgb seeThrough = pixelAt(-0.6, 1.5, -1);
    EXPECT_FALSE(Same(seeThrough, empty));
    EXPECT_FALSE(Same(seeThrough, wall));
    h.GetView().ToggleSceneTransparency();

    // The body stands 2 m behind the wall's plane: in the body's frame the wall stands at
    // z = +1, between the body and the camera, and covers the body; turned by 180 the body looks
    // at the wall's back, which is not drawn.
    h.Render();
    const Rgb bodyColour = pixelAt(0, 1.0, 0.1);
    h.GetCase().world.body = {0, 0, -2, 0};
    h.Render();
    EXPECT_FALSE(Same(pixelAt(0, 1.0, 0.1), bodyColour));
    h.GetCase().world.body = {0, 0, -2, 180};
    h.Render();
    EXPECT_TRUE(Same(pixelAt(0, 1.0, 0.1), bodyColour));
}

TEST(ScenePassRendering, TheOriginZonesSwitchDrawsTheZoneOnItsHeightsPlaneAndAFloorGrid) {
    RenderHarness h;
    ASSERT_TRUE(h.Ready()) << h.Error();
    // Toward the body's back and downward by 1 in 10: going back it rises toward the front,
    // reaching the standing height 1.5 m at 2 m in front of IN.
    Trajectory& shot = h.AddTrajectory(true, 0.3, 1.3, 0.2, 1, 0, 0);
    shot.out = {0.3, 1.28, 0.0};
    shot.radiusIn = 0.005;
    h.GetCase().world.muzzleHeights = {1.5};
    const OriginAnalysis analysis = AnalyseOrigins(PosedCase(h.GetCase()));
    ASSERT_TRUE(analysis.trajectories[0].zones[0].reached);
    const OriginZone& zone = analysis.trajectories[0].zones[0];
    // The zone's outline passes through the cone's nearest reach along the back line.
    const double nearest = zone.minDistance;
    const Vec3 onOutline{0.3, 1.5, 0.2 + nearest};
    const auto pixels = [&h](const Vec3& p) {
        const auto at = h.Project(p.x, p.y, p.z);
        std::vector<Rgb> around;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                around.push_back(
                    h.Pixel(static_cast<int>(at[0]) + dx, static_cast<int>(at[1]) + dy));
            }
        }
        return around;
    };
    const auto anyBlue = [](const std::vector<Rgb>& around) {
        for (const Rgb& c : around) {
            if (c.b > c.r + 60 && c.b > c.g + 40) {
                return true;
            }
        }
        return false;
    };
    const Vec3 gridLine{-1.0, 0.0, 0.5};
    h.Render();
    EXPECT_FALSE(anyBlue(pixels(onOutline)));
    const std::vector<Rgb> floorBefore = pixels(gridLine);
    h.GetView().ToggleOriginZones();
    h.Render();
    EXPECT_TRUE(anyBlue(pixels(onOutline))) << "the standing zone's outline";
    EXPECT_FALSE(Same(pixels(gridLine)[4], floorBefore[4])) << "the floor grid";
}
