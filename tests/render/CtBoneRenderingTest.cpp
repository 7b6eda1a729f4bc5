#include "support/RenderTestSupport.h"

#include "ct/CtScan.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// An axis-aligned box in centimetres with outward, counter-clockwise triangles and no normals
// (the scan's surfaces may come without them).
std::shared_ptr<const Mesh> BoneBoxCm(const Vec3f& min, const Vec3f& max) {
    auto mesh = std::make_shared<Mesh>();
    for (int corner = 0; corner < 8; ++corner) {
        mesh->positions.push_back({(corner & 1) ? max.x : min.x, (corner & 2) ? max.y : min.y,
                                   (corner & 4) ? max.z : min.z});
    }
    const uint32_t faces[12][3] = {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6},
                                   {0, 1, 5}, {0, 5, 4}, {2, 6, 7}, {2, 7, 3},
                                   {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}};
    MeshGroup group;
    group.name = "iso-surface";
    for (const auto& face : faces) {
        group.triangleIndices.push_back(static_cast<uint32_t>(mesh->triangles.size()));
        mesh->triangles.push_back(MeshTriangle{{face[0], face[1], face[2]}});
    }
    mesh->groups.push_back(group);
    mesh->revision = NextMeshRevision();
    return mesh;
}

int ChannelDistance(const Rgb& a, const Rgb& b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

class CtBoneRendering : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Ready()) << h.Error();
        h.GetView().Switches().axes = false;
        h.GetView().Switches().text = false;
        // At the box's own height, as a CT body stands at the scan's: body-frame centimetres of
        // the scan are then the case's metres times 100.
        ASSERT_TRUE(h.GetCase().body.SetHeight(1.8));
        // A black ball deep inside the box body (x -0.1..0.1, z 0..0.2 m), behind where the bone
        // stands: seen through the transparent skin until the opaque bone hides it.
        h.AddElement(0.0, 1.0, 0.03, 0.04, 0, 0, 0);
    }

    void AddScan() {
        auto scan = std::make_shared<CtScan>();
        // x -4..4 cm, y 80..120 cm, z 8..16 cm: in front of the ball, inside the skin.
        scan->bone = BoneBoxCm({-4, 80, 8}, {4, 120, 16});
        h.GetCase().ct.folder = "scan";
        h.GetCase().ct.scan = std::move(scan);
    }

    Rgb At(double x, double y, double z) { return h.PixelAt(x, y, z); }

    RenderHarness h;
};

} // namespace

// The bone of a CT body shows inside the transparent skin, bone-white and opaque, exactly where
// the scan put it (centimetres of the body frame on a body in metres); the opaque skin hides it,
// and a case without a scan is drawn as before.
TEST_F(CtBoneRendering, TheBoneIsDrawnInsideTheTransparentSkinOnly) {
    h.GetView().ToggleBodyTransparency();
    h.Render();
    const Rgb ballThroughSkin = At(0.0, 1.0, 0.2);
    const Rgb besideBone = At(0.07, 1.0, 0.2);
    const Rgb belowBone = At(0.0, 0.6, 0.2);
    const Rgb topInside = At(0.0, 1.18, 0.2), topOutside = At(0.0, 1.23, 0.2);
    EXPECT_LT(ballThroughSkin.r, 40) << "the black ball shows through the transparent skin";

    AddScan();
    h.Render();
    const Rgb bone = At(0.0, 1.0, 0.2);
    EXPECT_GT(bone.r, 70) << "the bone hides the ball and shows through the skin";
    EXPECT_GT(bone.g, 70);
    EXPECT_GT(bone.r, ballThroughSkin.r + 50);
    // Nowhere else: beside it (x 7 cm) and below it (y 60 cm) the skin is as without the scan.
    EXPECT_LE(ChannelDistance(At(0.07, 1.0, 0.2), besideBone), 3);
    EXPECT_LE(ChannelDistance(At(0.0, 0.6, 0.2), belowBone), 3);
    // The bone's edges lie where the scan put them: 4 cm either side, 80 and 120 cm up.
    EXPECT_GT(ChannelDistance(At(0.035, 1.0, 0.2), besideBone), 10);
    EXPECT_LE(ChannelDistance(At(0.045, 1.0, 0.2), besideBone), 3);
    EXPECT_GT(ChannelDistance(At(0.0, 1.18, 0.2), topInside), 10); // bone, not grey, behind
    EXPECT_LE(ChannelDistance(At(0.0, 1.23, 0.2), topOutside), 3);

    // The opaque skin: the same pixels with or without the scan.
    h.GetView().ToggleBodyTransparency();
    h.Render();
    const Rgb opaqueWithScan = At(0.0, 1.0, 0.2);
    h.GetCase().ct = CaseCt();
    h.Render();
    EXPECT_EQ(ChannelDistance(At(0.0, 1.0, 0.2), opaqueWithScan), 0);
}
