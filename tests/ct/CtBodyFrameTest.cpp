#include "ct/CtBodyFrame.h"
#include "ct/IsoSurface.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A box of soft tissue lying in a supine patient frame: 40 cm left-right, 20 cm front-back and
// 60 cm head-foot.
CtVolume CtFrameBoxVolume() {
    CtVolume volume;
    volume.size = {20, 10, 30};
    volume.spacing = {20, 20, 20};
    volume.origin = {-250, 80, -1200};
    volume.hu.assign(20 * 10 * 30, 40);
    return volume;
}

double CtFrameSignedVolume(const Mesh& mesh) {
    double sum = 0;
    for (const MeshTriangle& triangle : mesh.triangles) {
        sum += Dot(ToVec3(mesh.positions[triangle.position[0]]),
                   Cross(ToVec3(mesh.positions[triangle.position[1]]),
                         ToVec3(mesh.positions[triangle.position[2]]))) /
               6;
    }
    return sum;
}

TEST(CtBodyFrame, SkinStandsOnTheSolesWithItsBackAtZero) {
    Mesh skin;
    ASSERT_TRUE(ExtractIsoSurface(CtFrameBoxVolume(), {.thresholdHu = -500}, skin));
    CtBodyFrame frame;
    ASSERT_TRUE(BodyFrameOfSkin(skin, frame));
    // The voxels' extent: L from -260 to 140, P from 70 to 270, S from -1210 to -610.
    EXPECT_NEAR(frame.originLps.x, -60, 1e-3);
    EXPECT_NEAR(frame.originLps.y, 270, 1e-3);
    EXPECT_NEAR(frame.originLps.z, -1210, 1e-3);

    // The patient's left, head and front are the body's +X, +Y and +Z, in centimetres.
    const Vec3 body = LpsToBody(frame, {-50, 250, -1000});
    EXPECT_NEAR(body.x, 1.0, 1e-9);
    EXPECT_NEAR(body.y, 21.0, 1e-9);
    EXPECT_NEAR(body.z, 2.0, 1e-9);
    const Vec3 back = BodyToLps(frame, body);
    EXPECT_NEAR(back.x, -50, 1e-9);
    EXPECT_NEAR(back.y, 250, 1e-9);
    EXPECT_NEAR(back.z, -1000, 1e-9);
    const Vec3 byMatrix = LpsToBodyMatrix(frame).TransformPoint({-50, 250, -1000});
    EXPECT_NEAR(byMatrix.x, body.x, 1e-9);
    EXPECT_NEAR(byMatrix.y, body.y, 1e-9);
    EXPECT_NEAR(byMatrix.z, body.z, 1e-9);

    // The moved skin keeps its triangles facing out, and its box is the body's.
    const double before = CtFrameSignedVolume(skin);
    MoveToBodyFrame(frame, skin);
    EXPECT_NEAR(CtFrameSignedVolume(skin), before / 1000, before / 1000 * 1e-4);
    const std::array<float, 6> box = skin.groups.at(0).box;
    EXPECT_NEAR(box[0], -20, 1e-3);
    EXPECT_NEAR(box[1], 0, 1e-3);
    EXPECT_NEAR(box[2], 0, 1e-3);
    EXPECT_NEAR(box[3], 20, 1e-3);
    EXPECT_NEAR(box[4], 60, 1e-3);
    EXPECT_NEAR(box[5], 20, 1e-3);
    EXPECT_EQ(skin.box, box);

    CtBodyFrame none;
    EXPECT_FALSE(BodyFrameOfSkin(Mesh{}, none));
}

} // namespace
