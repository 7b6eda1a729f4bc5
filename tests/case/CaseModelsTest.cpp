#include "case/Case.h"
#include "support/TestObjFiles.h"
#include "view/SceneRenderer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FakeRenderer : public SceneRenderer {
public:
    bool InitializeContext(Case&) override { return ++initializations, usable; }
    void Resize(int, int) override {}
    void RenderFrame(Case&) override { ++frames; }
    void Pick(Case&, int, int) override {}
    void DestroyContext() override {}
    bool usable = true;
    int initializations = 0, frames = 0;
};

class CaseModelsTest : public testing::Test {
protected:
    void SetUp() override {
        // A thin arrow along -Z from the origin, in metres.
        const std::string arrow = "v -0.01 0 0\nv 0.01 0 0\nv 0 0.01 0\nv 0 0 -0.7\n"
                                  "f 1 2 3\nf 1 4 2\nf 2 4 3\nf 3 4 1\n";
        scene.SetArrowModelFile(testobj::Write("arrow.obj", arrow));
        scene.SetHalfArrowModelFile(testobj::Write("half_arrow.obj", arrow));
        scene.SetBodyModelFile(testobj::Write("context_body.obj", testobj::Box()));
    }
    Case scene;
    FakeRenderer renderer;
};

} // namespace

TEST_F(CaseModelsTest, WithoutRendererNothingHappens) {
    EXPECT_EQ(scene.CreateContext(), -1);
    EXPECT_EQ(scene.GetCamera().GetZ(), 0.0);
    EXPECT_EQ(scene.GetArrowModel(), nullptr);
    EXPECT_EQ(scene.RenderFrame(), 1);
}

TEST_F(CaseModelsTest, LoadsTheModelsAndReportsTheFirstFailure) {
    scene.SetRenderer(&renderer);
    std::string error;
    ASSERT_EQ(scene.CreateContext(&error), 0) << error;
    EXPECT_EQ(renderer.initializations, 1);
    EXPECT_EQ(scene.GetCamera().GetZ(), 2.5);
    EXPECT_GT(scene.GetHalfArrowModel()->normalCount, 0u);
    EXPECT_FLOAT_EQ(scene.GetArrowModel()->vertices[3 * 4 + 2], -0.7f) << "arrows are not fitted";
    EXPECT_FLOAT_EQ(scene.GetBody().GetHeight(), 2.0f);
    EXPECT_EQ(scene.RenderFrame(), 1);
    EXPECT_EQ(renderer.frames, 1);

    Case other;
    other.SetRenderer(&renderer);
    other.SetArrowModelFile(testing::TempDir() + "missing_arrow.obj");
    other.SetHalfArrowModelFile(scene.GetHalfArrowModelFile());
    other.SetBodyModelFile(scene.GetBodyModelFile());
    EXPECT_EQ(other.CreateContext(&error), -1);
    EXPECT_NE(error.find("missing_arrow.obj"), std::string::npos) << error;
    EXPECT_NE(other.GetHalfArrowModel(), nullptr) << "the other models still load";
    EXPECT_NE(other.GetBody().GetModel(), nullptr);
    EXPECT_EQ(renderer.initializations, 1);

    renderer.usable = false;
    EXPECT_EQ(scene.CreateContext(&error), -1);
}
