#include "support/BaselineImage.h"
#include "support/RenderTestSupport.h"

#include "render/HeadlessContext.h"
#include "render/Renderer.h"

#include <gtest/gtest.h>

namespace {

// The default body and arrows (read from ./data/default) drawn headless in one display mode.
class BaselineImages : public ::testing::TestWithParam<baseline::DisplayMode> {};

TEST_P(BaselineImages, HeadlessRenderMatchesTheBaseline) {
    std::string error;
    const auto context = HeadlessContext::Create(baseline::kWidth, baseline::kHeight, error);
    ASSERT_NE(context, nullptr) << error;
    Case theCase;
    ViewState view;
    Renderer renderer;
    view.ViewFront();
    std::shared_ptr<const ArrowModels> arrows;
    const Status loaded = LoadDefaultModels(theCase, arrows);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    ASSERT_TRUE(renderer.InitializeContext());
    renderer.SetArrowModels(arrows);
    baseline::AddEvidence(theCase);
    GetParam().apply(view);
    renderer.Resize(baseline::kWidth, baseline::kHeight);
    renderer.RenderFrame(PosedCase(theCase), view);
    glFinish();
    const baseline::RgbImage image = baseline::ReadFramebuffer(baseline::kWidth, baseline::kHeight);
    renderer.DestroyContext();

    EXPECT_EQ(baseline::CompareWithBaseline(GetParam().name, image), "");
}

INSTANTIATE_TEST_SUITE_P(DisplayModes, BaselineImages,
                         ::testing::ValuesIn(baseline::DisplayModes()),
                         [](const ::testing::TestParamInfo<baseline::DisplayMode>& mode) {
                             return std::string(mode.param.name);
                         });

// The comparison itself: within the tolerance is equal, one channel beyond it is not.
TEST(BaselineComparison, ToleranceIsPerChannelOfEveryPixel) {
    baseline::RgbImage expected{2, 1, {10, 20, 30, 40, 50, 60}};
    baseline::RgbImage actual = expected;
    actual.rgb[5] += baseline::kChannelTolerance;
    EXPECT_EQ(baseline::Differences(actual, expected), "");
    actual.rgb[5] += 1;
    EXPECT_NE(baseline::Differences(actual, expected), "");
    EXPECT_NE(baseline::Differences(baseline::RgbImage{1, 1, {0, 0, 0}}, expected), "");
}

} // namespace
