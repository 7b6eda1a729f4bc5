#include "support/RenderTestSupport.h"

#include "mesh/MeshNormals.h"
#include "mesh/io/obj/ObjReader.h"
#include "render/CloseUpViews.h"
#include "render/SceneCutAway.h"
#include "render/StandardViews.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

std::shared_ptr<const Mesh> CutAwaySceneMesh(const std::string& obj) {
    ObjReadResult read = ReadObjFromMemory(
        obj, "room.obj", [](const std::string&) { return std::optional<std::string>(); });
    EXPECT_TRUE(read.mesh) << read.error;
    ComputeFacetNormals(*read.mesh);
    ComputeVertexNormals(*read.mesh, 30.0f);
    return std::shared_ptr<const Mesh>(std::move(read.mesh));
}

// A wall 3 m wide and high across z = -1 of the scene, facing +Z.
std::shared_ptr<const Mesh> CutAwayWall() {
    return CutAwaySceneMesh("v -1.5 0 -1\nv 1.5 0 -1\nv 1.5 3 -1\nv -1.5 3 -1\nf 1 2 3\nf 1 3 4\n");
}

bool SameRgb(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

bool Bluish(const Rgb& c) {
    return c.b > c.r + 40 && c.b > c.g + 40;
}

// A pixel of a captured picture (bottom row first, blue green red alpha), counted from the top
// left as PixelOf gives it.
Rgb CapturedAt(const CapturedImage& image, const std::array<double, 2>& at) {
    const int x = static_cast<int>(at[0]);
    const int row = image.Height() - 1 - static_cast<int>(at[1]);
    const uint8_t* pixel = image.Pixels() + image.RowStride() * row + 4 * x;
    return {pixel[2], pixel[1], pixel[0]};
}

} // namespace

// The region is what lies between the eye and the box's nearest corner, whichever side the eye
// looks from; nothing when the eye stands by the body.
TEST(SceneCutAwayTest, TheRegionLiesBetweenTheEyeAndTheBodysBox) {
    const BodyBox box{{-0.2, 0, 0}, {0.2, 1.8, 0.3}};
    ViewState view;
    view.ViewFront(); // the eye at (0, 1, 2.5)
    auto region = CutAwayBefore(view.GetCamera().ViewMatrix(), box);
    ASSERT_TRUE(region);
    const auto inside = [&view, &region](const Vec3& body) {
        return region->Contains(view.GetCamera().ViewMatrix().TransformPoint(body));
    };
    EXPECT_TRUE(inside({0, 1, 1.5})) << "a wall a metre before the chest";
    EXPECT_TRUE(inside({0.19, 1.75, 0.35})) << "just before the box's corner";
    EXPECT_FALSE(inside({0, 1, 0.25})) << "beyond the nearest plane, by the body";
    EXPECT_FALSE(inside({0, 1, -1})) << "the wall behind";
    EXPECT_FALSE(inside({0.8, 1, 1.5})) << "beside the line of sight";
    EXPECT_FALSE(inside({0, 2.3, 1.5})) << "above it";
    EXPECT_FALSE(inside({0, 1, 3})) << "behind the eye";
    EXPECT_TRUE(inside({0, 0.05, 0.35})) << "a doorstep before the knees";
    EXPECT_FALSE(inside({0, 0.005, 0.35})) << "the floor before the feet";

    view.ViewRight(); // the eye on the body's right, at x = -2.5
    region = CutAwayBefore(view.GetCamera().ViewMatrix(), box);
    ASSERT_TRUE(region);
    EXPECT_TRUE(inside({-1, 1, 0.15}));
    EXPECT_FALSE(inside({1, 1, 0.15}));

    view.GetCamera().Set(0, 0, 0.1, 0, 0, 0); // the eye inside the box
    EXPECT_FALSE(CutAwayBefore(view.GetCamera().ViewMatrix(), box));
}

// A wall before the body: drawn whole it hides the body; cut away it opens onto the body and
// stays round it; see-through the body shows through it. A wall behind the body is never cut.
TEST(SceneCutAwayTest, AWallBeforeTheBodyIsCutAwayOrSeenThrough) {
    RenderHarness h;
    ASSERT_TRUE(h.Ready()) << h.Error();
    const auto pixelAt = [&h](double x, double y, double z) {
        const auto at = h.Project(x, y, z);
        return h.Pixel(static_cast<int>(at[0]), static_cast<int>(at[1]));
    };
    h.GetView().ToggleAxes();
    h.Render();
    const Rgb body = pixelAt(0, 1.0, 0.2);
    ASSERT_TRUE(Bluish(body));
    h.GetCase().world.sceneMesh = CutAwayWall();
    h.GetCase().world.body = {0, 0, -2, 0}; // the wall at z = +1 of the body frame
    h.Render();
    const Rgb wall = pixelAt(0, 1.0, 0.2);
    ASSERT_FALSE(Bluish(wall)) << "the room blanks the view";
    const Rgb wallBeside = pixelAt(-1.0, 1.5, 1.0);

    h.GetView().Switches().sceneCutAway = true;
    h.Render();
    EXPECT_TRUE(SameRgb(pixelAt(0, 1.0, 0.2), body));
    EXPECT_TRUE(SameRgb(pixelAt(0, 0.3, 0.2), body)) << "the legs";
    EXPECT_TRUE(SameRgb(pixelAt(-1.0, 1.5, 1.0), wallBeside)) << "the wall round the opening";
    h.GetView().Switches().sceneCutAway = false;

    // A scene model without materials is see-through too: seen through a quarter-opaque wall the
    // body stays blue.
    h.GetView().ToggleSceneTransparency();
    h.Render();
    const Rgb through = pixelAt(0, 1.0, 0.2);
    EXPECT_TRUE(Bluish(through));
    EXPECT_FALSE(SameRgb(through, body));
    h.GetView().ToggleSceneTransparency();

    // Behind the body, the wall shows round it, within the opening's margin as well.
    h.GetCase().world.body = {0, 0, 0, 0};
    h.GetView().Switches().sceneCutAway = true;
    h.Render();
    const auto aboveHead = h.Project(0, 2.0, 0.2222); // the box body is drawn 2 m tall
    const Rgb behind = h.Pixel(static_cast<int>(aboveHead[0]), static_cast<int>(aboveHead[1]) + 3);
    EXPECT_FALSE(Bluish(behind));
    EXPECT_FALSE(SameRgb(behind, h.Pixel(2, 2))) << "the wall, not the empty field";
}

// The report's pictures of a body shut in a room (a box whose walls face outward, the eyes of
// every view outside it) show the body, not the wall before it.
TEST(SceneCutAwayTest, TheReportsViewsSeeTheBodyInAClosedRoom) {
    RenderHarness h;
    ASSERT_TRUE(h.Ready()) << h.Error();
    h.GetCase().world.sceneMesh =
        CutAwaySceneMesh(TestModels::BoxObj({-1.4f, -0.05f, -1.4f}, {1.4f, 2.6f, 1.4f}, "", ""));
    const PosedCase posed(h.GetCase());
    ViewState view;
    view.Switches().axes = false;
    std::string error;
    const auto views = RenderStandardViews(posed, view, h.Arrows(), 320, 240, error);
    ASSERT_TRUE(views) << error;
    ASSERT_EQ(views->size(), 3u);
    const Vec3 seen[] = {{0, 1.0, 0.2}, {0, 1.0, 0.1}, {0, 1.8, 0.1}}; // front, profile, top
    for (std::size_t i = 0; i < views->size(); ++i) {
        ViewState camera;
        (i == 0 ? camera.ViewFront() : i == 1 ? camera.ViewProfile() : camera.ViewTop());
        const Rgb shown =
            CapturedAt((*views)[i].image, PixelOf(camera.GetCamera(), seen[i], 320, 240));
        EXPECT_TRUE(Bluish(shown))
            << (*views)[i].name << " " << shown.r << "," << shown.g << "," << shown.b;
    }
    // The window's view of the same case, without the cut, shows the wall.
    h.GetView().ToggleAxes();
    h.GetCase().world.sceneMesh = posed.GetCase().world.sceneMesh;
    h.Render();
    const auto front = h.Project(0, 1.0, 0.2);
    EXPECT_FALSE(Bluish(h.Pixel(static_cast<int>(front[0]), static_cast<int>(front[1]))));
}
