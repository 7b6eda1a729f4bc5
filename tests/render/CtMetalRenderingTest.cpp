#include "support/RenderTestSupport.h"

#include "ct/CtScan.h"
#include "render/CtMetalPass.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

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
    }

    Rgb MetalPixel(double x, double y, double z) {
        const auto at = h.Project(x, y, z);
        return h.Pixel(static_cast<int>(at[0]), static_cast<int>(at[1]));
    }

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
    const Rgb atCentroid = MetalPixel(0.03, 1.0, 0.2);
    const Rgb beside = MetalPixel(0.03 + 0.035, 1.0, 0.2);
    const Rgb above = MetalPixel(0.03, 1.035, 0.2);

    auto scan = std::make_shared<CtScan>();
    // A ball of 2 cm radius at x 3 cm, y 100 cm, z 12 cm: inside the box body (z 0..20 cm).
    scan->metal.push_back(MetalAt({3, 100, 12}, 33510.3));
    // An object without a body-frame place is not drawn.
    CtMetalObject unplaced = MetalAt({-6, 60, 12}, 33510.3);
    unplaced.hasBodyCentroid = false;
    scan->metal.push_back(unplaced);
    h.GetCase().ct.folder = "scan";
    h.GetCase().ct.scan = scan;
    h.Render();
    const Rgb metal = MetalPixel(0.03, 1.0, 0.2);
    EXPECT_GT(metal.b, metal.r + 30) << "steel blue through the skin";
    EXPECT_GT(MetalChannelDistance(metal, atCentroid), 40);
    // Its edge 2 cm from the centroid: inside at 1.5 cm, outside at 3.5 cm.
    EXPECT_GT(MetalChannelDistance(MetalPixel(0.03 + 0.015, 1.0, 0.2), atCentroid), 20);
    EXPECT_GT(MetalChannelDistance(MetalPixel(0.03, 1.015, 0.2), atCentroid), 20);
    EXPECT_LE(MetalChannelDistance(MetalPixel(0.03 + 0.035, 1.0, 0.2), beside), 3);
    EXPECT_LE(MetalChannelDistance(MetalPixel(0.03, 1.035, 0.2), above), 3);
    const Rgb unplacedBefore = MetalPixel(-0.06, 0.6, 0.2);
    h.GetCase().ct.scan.reset();
    h.Render();
    EXPECT_LE(MetalChannelDistance(MetalPixel(-0.06, 0.6, 0.2), unplacedBefore), 3);

    // The opaque skin hides it: the same pixels with or without the metal.
    h.GetView().ToggleBodyTransparency();
    h.Render();
    const Rgb opaqueWithout = MetalPixel(0.03, 1.0, 0.2);
    h.GetCase().ct.scan = scan;
    h.Render();
    EXPECT_EQ(MetalChannelDistance(MetalPixel(0.03, 1.0, 0.2), opaqueWithout), 0);
}
