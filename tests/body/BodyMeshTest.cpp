#include "base/ProgressSink.h"
#include "body/Body.h"
#include "body/PosedBody.h"
#include "mesh/io/MeshImport.h"
#include "support/TestObjFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// Length of the first vertex normal as drawn (all of them share one length here).
double NormalLength(const Body& body) {
    const Vec3f& n = body.GetModel()->normals[0];
    return body.GetNormalScale() *
           std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
}

class BodyMeshTest : public testing::Test {
protected:
    void SetUp() override {
        body.SetScaleX(1.2);
        ASSERT_TRUE(body.Load(boxPath).ok());
    }
    const std::string boxPath = testobj::Write("body_box.obj", testobj::Box());
    const float baseDepth = 0.4f * 2.0f / 1.8f;
    Body body;
};

} // namespace

TEST_F(BodyMeshTest, HeightScalesDepthAndNormalsOnce) {
    EXPECT_FLOAT_EQ(body.GetHeight(), 2.0f);
    EXPECT_FLOAT_EQ(body.GetDepth(), baseDepth);
    EXPECT_EQ(body.GetScaleX(), 1.2) << "a load keeps the stretch";
    EXPECT_NEAR(NormalLength(body), 1.0, 1e-6);

    for (int i = 0; i < 3; ++i) { // the same height again keeps the brightness
        ASSERT_TRUE(body.SetHeight(1.75));
    }
    EXPECT_FLOAT_EQ(body.GetScale(), 0.875f);
    EXPECT_FLOAT_EQ(body.GetDepth(), 0.875f * baseDepth);
    EXPECT_NEAR(NormalLength(body), 0.875, 1e-6);

    body.SetScaleZ(1.2);
    EXPECT_FLOAT_EQ(body.GetDepth(), 1.2f * 0.875f * baseDepth);
    // The fitted box's back bottom edge stands on the floor at z = 0; its top is at 1.75 m.
    const Vec3 backFloor = body.DrawTransform().TransformPoint({0, -1, -0.4 / 1.8});
    EXPECT_NEAR(backFloor.y, 0.0, 1e-6);
    EXPECT_NEAR(backFloor.z, 0.0, 1e-6);
    EXPECT_NEAR(body.DrawTransform().TransformPoint({0, 1, 0}).y, 1.75, 1e-6);

    for (double bad : {0.0, -1.75, std::nan("")}) {
        EXPECT_FALSE(body.SetHeight(bad));
    }
    EXPECT_FLOAT_EQ(body.GetHeight(), 1.75f);
    EXPECT_FLOAT_EQ(body.GetScale(), 0.875f);
    EXPECT_NEAR(NormalLength(body), 0.875, 1e-6);
}

TEST_F(BodyMeshTest, LightingStepsCompoundAndLeaveTheMeshAlone) {
    const std::vector<Vec3f> normals = body.GetModel()->normals;
    body.IncreaseBodyLighting();
    body.IncreaseBodyLighting();
    body.IncreaseBodyLighting();
    EXPECT_NEAR(NormalLength(body), 1.331, 1e-5);
    EXPECT_EQ(body.GetModel()->normals, normals) << "the mesh keeps its unit normals";

    ASSERT_TRUE(body.SetHeight(1.75));
    EXPECT_NEAR(NormalLength(body), 1.331 * 0.875, 1e-5);
    ASSERT_TRUE(body.Load(boxPath));
    EXPECT_NEAR(NormalLength(body), 1.0, 1e-6) << "a new mesh is lit as read";
}

TEST_F(BodyMeshTest, FailedLoadKeepsThePreviousBody) {
    ASSERT_TRUE(body.SetHeight(1.75));
    const Mesh* previous = body.GetModel();
    const Status missing = body.Load(testing::TempDir() + "no_such_body.obj");
    EXPECT_NE(missing.message().find("no_such_body.obj"), std::string::npos);
    EXPECT_FALSE(body.Load(testobj::Write("flat.obj", "v 0 0 0\nv 0 0 0\nv 0 0 0\nf 1 2 3\n")));
    EXPECT_FALSE(body.Load(testobj::Write("points.obj", "v 0 0 0\nv 1 1 1\n")));
    EXPECT_FALSE(body.LoadMesh(std::make_unique<Mesh>()));
    EXPECT_EQ(body.GetModel(), previous);
    EXPECT_FLOAT_EQ(body.GetHeight(), 1.75f);
    EXPECT_FLOAT_EQ(body.GetScale(), 0.875f);
}

// A model of extent 1e-45 was scaled by 2 / 1e-45, which is infinite: every coordinate of the
// body became NaN. It is refused with the reason, and the body stays as it was.
TEST_F(BodyMeshTest, RefusesAModelTooSmallToScale) {
    const Mesh* previous = body.GetModel();
    MeshImportResult tiny = ImportMeshFromMemory(
        "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
        "property float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n"
        "0 0 0\n1e-45 0 0\n0 1e-45 0\n3 0 1 2\n",
        "tiny.ply");
    ASSERT_TRUE(tiny.mesh) << tiny.error;
    EXPECT_EQ(body.LoadMesh(std::move(tiny.mesh)).message(),
              "The body model \"tiny.ply\" is too small to be scaled to the view (its largest "
              "extent is 1e-45)");
    EXPECT_EQ(body.GetModel(), previous);
}

// A Wavefront model whose first coordinate is NaN was said to have no extent, and one with a NaN
// later on was taken with that vertex NaN in the body: both are refused for what they are.
TEST_F(BodyMeshTest, SaysACoordinateIsNotANumberRatherThanNoExtent) {
    const Mesh* previous = body.GetModel();
    const std::string first =
        testobj::Write("nan_first.obj", "v nan 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_EQ(body.Load(first).message(),
              "The body model \"" + first + "\" has a coordinate that is not a number (vertex 1)");
    const std::string later =
        testobj::Write("nan_later.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 nan 1\nf 1 2 3\n");
    EXPECT_EQ(body.Load(later).message(),
              "The body model \"" + later + "\" has a coordinate that is not a number (vertex 4)");
    EXPECT_EQ(body.GetModel(), previous);
    // No extent stays no extent.
    const std::string flat = testobj::Write("flat.obj", "v 0 0 0\nv 0 0 0\nv 0 0 0\nf 1 2 3\n");
    EXPECT_EQ(body.Load(flat).message(), "The body model \"" + flat + "\" has no extent");
}

TEST_F(BodyMeshTest, LoadWithProgressReportsEachStage) {
    struct Recorder : ProgressSink {
        void SetProgress(int position) override { positions.push_back(position); }
        std::vector<int> positions;
    } progress;
    ASSERT_TRUE(body.LoadWithProgress(boxPath, progress));
    const std::vector<int>& p = progress.positions;
    ASSERT_GE(p.size(), 4u);
    EXPECT_EQ(p.front(), 10);
    EXPECT_EQ(std::vector<int>(p.end() - 3, p.end()), (std::vector<int>{20, 40, 60}));
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
}

TEST(BodyWithoutMeshTest, HeightIsKeptWithoutDividingByZero) {
    Body body;
    EXPECT_TRUE(body.SetHeight(1.8));
    EXPECT_FLOAT_EQ(body.GetHeight(), 1.8f);
    EXPECT_FLOAT_EQ(body.GetScale(), 1.0f);
    body.SetScaleX(0);
    EXPECT_EQ(body.GetScaleX(), 1.0);
    EXPECT_TRUE(
        std::isfinite(PosedBody(body).SegmentTransform(skeleton::Segment::RightForearm).At(0, 0)));
}
