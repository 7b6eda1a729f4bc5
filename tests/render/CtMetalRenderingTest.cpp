#include "support/RenderTestSupport.h"

#include "ct/CtScan.h"
#include "render/CtMetalPass.h"
#include "view/Camera.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// The depth (m) of the ball's centre: the pixels are taken where points of its middle plane
// project, which the perspective would shift if they were taken on the skin in front.
constexpr double kBallDepth = 0.12;

int MetalChannelDistance(const Rgb& a, const Rgb& b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// A metal object of the given volume at a body-frame point (cm).
CtMetalObject MetalAt(const Vec3& bodyCm, double volumeMm3) {
    CtMetalObject object;
    object.centroidBody = bodyCm;
    object.hasBodyCentroid = true;
    object.volumeMm3 = volumeMm3;
    object.peakHu = 3071;
    return object;
}

class CtMetalRendering : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Ready()) << h.Error();
        h.GetView().Switches().axes = false;
        h.GetView().Switches().text = false;
        // At the box's own height, as a CT body stands at the scan's length: body-frame
        // centimetres of the scan are the case's metres times 100.
        ASSERT_TRUE(h.GetCase().body.SetHeight(1.8));
        // Close to the ball, about 7 pixels a centimetre, looking at the body's front.
        Camera& camera = h.GetView().GetCamera();
        camera.SetX(0.03);
        camera.SetY(1.0);
        camera.SetZ(0.4);
    }

    Rgb MetalPixel(double x, double y, double z) { return h.PixelAt(x, y, z); }

    RenderHarness h;
};

} // namespace

// A ball of the object's own volume (never under 3 mm), in steel blue, at the object's centroid
// inside the transparent skin, and nowhere else; the opaque skin and a case without metal are
// drawn as before.
TEST_F(CtMetalRendering, EachObjectIsABallAtItsCentroidInsideTheTransparentSkin) {
    EXPECT_DOUBLE_EQ(CtMetalPass::MarkerRadiusMm(MetalAt({}, 1.0)), CtMetalPass::kLeastRadiusMm);
    EXPECT_NEAR(CtMetalPass::MarkerRadiusMm(MetalAt({}, 4188.79)), 10.0, 1e-3);

    h.GetView().ToggleBodyTransparency();
    h.Render();
    const Rgb atCentroid = MetalPixel(0.03, 1.0, kBallDepth);
    const Rgb beside = MetalPixel(0.03 + 0.035, 1.0, kBallDepth);
    const Rgb above = MetalPixel(0.03, 1.035, kBallDepth);
    const Rgb below = MetalPixel(0.03, 1.0 - 0.035, kBallDepth);
    const Rgb whereUnplaced = MetalPixel(-0.03, 1.0, kBallDepth);

    auto scan = std::make_shared<CtScan>();
    // A ball of 2 cm radius at x 3 cm, y 100 cm, z 12 cm: inside the box body (z 0..20 cm).
    scan->metal.push_back(MetalAt({3, 100, 12}, 33510.3));
    // An object without a body-frame place is not drawn.
    CtMetalObject unplaced = MetalAt({-3, 100, 12}, 33510.3);
    unplaced.hasBodyCentroid = false;
    scan->metal.push_back(unplaced);
    h.GetCase().ct.folder = "scan";
    h.GetCase().ct.scan = scan;
    h.Render();
    const Rgb metal = MetalPixel(0.03, 1.0, kBallDepth);
    EXPECT_LT(metal.r, atCentroid.r - 30) << "steel blue through the skin";
    EXPECT_GT(MetalChannelDistance(metal, atCentroid), 40);
    // Its edge 2 cm from the centroid: inside at 1.5 cm, outside at 3.5 cm.
    EXPECT_GT(MetalChannelDistance(MetalPixel(0.03 + 0.015, 1.0, kBallDepth), atCentroid), 20);
    EXPECT_GT(MetalChannelDistance(MetalPixel(0.03 - 0.015, 1.0, kBallDepth), atCentroid), 20);
    EXPECT_GT(MetalChannelDistance(MetalPixel(0.03, 1.015, kBallDepth), atCentroid), 20);
    EXPECT_LE(MetalChannelDistance(MetalPixel(0.03 + 0.035, 1.0, kBallDepth), beside), 3);
    EXPECT_LE(MetalChannelDistance(MetalPixel(0.03, 1.035, kBallDepth), above), 3);
    EXPECT_LE(MetalChannelDistance(MetalPixel(0.03, 1.0 - 0.035, kBallDepth), below), 3);
    EXPECT_LE(MetalChannelDistance(MetalPixel(-0.03, 1.0, kBallDepth), whereUnplaced), 3);

    // The opaque skin hides it: the same pixels with or without the metal.
    h.GetView().ToggleBodyTransparency();
    h.GetCase().ct.scan.reset();
    h.Render();
    const Rgb opaqueWithout = MetalPixel(0.03, 1.0, kBallDepth);
    h.GetCase().ct.scan = scan;
    h.Render();
    EXPECT_EQ(MetalChannelDistance(MetalPixel(0.03, 1.0, kBallDepth), opaqueWithout), 0);
}

// A pick finds the ball drawn under the pointer, the nearer of two one behind the other, and
// nothing beside the balls, for an object without a place, or while the opaque skin hides them.
TEST_F(CtMetalRendering, APickFindsTheBallInFront) {
    auto scan = std::make_shared<CtScan>();
    scan->metal.push_back(MetalAt({3, 100, 6}, 33510.3)); // behind
    scan->metal.push_back(MetalAt({3, 100, 12}, 904.8));  // in front, 6 mm in radius
    CtMetalObject unplaced = MetalAt({-3, 100, 12}, 33510.3);
    unplaced.hasBodyCentroid = false;
    scan->metal.push_back(unplaced);
    h.GetCase().ct.folder = "scan";
    h.GetCase().ct.scan = scan;
    const auto at = [&](double x, double y, double z) {
        const std::array<double, 2> pixel = h.Project(x, y, z);
        return h.PickMetalAt(pixel[0], pixel[1]);
    };
    EXPECT_EQ(at(0.03, 1.0, 0.12), std::nullopt) << "the opaque skin hides them";
    h.GetView().ToggleBodyTransparency();
    EXPECT_EQ(at(0.03, 1.0, 0.12), std::optional<int>(1));
    // Beside the small ball, the large one behind it still shows.
    EXPECT_EQ(at(0.03 + 0.015, 1.0, 0.06), std::optional<int>(0));
    EXPECT_EQ(at(0.03 + 0.04, 1.0, 0.06), std::nullopt);
    EXPECT_EQ(at(-0.03, 1.0, 0.12), std::nullopt);
}
