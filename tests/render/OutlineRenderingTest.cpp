#include "support/RenderTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Pixels near black, which neither the grey field, the blue test body nor a white arrow has.
int NearBlackPixels(const RenderHarness& h) {
    int count = 0;
    for (int y = 0; y < RenderHarness::kHeight; ++y) {
        for (int x = 0; x < RenderHarness::kWidth; ++x) {
            const Rgb p = h.Pixel(x, y);
            count += p.r < 40 && p.g < 40 && p.b < 40 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

// A white arrow and its label on the light grey field could hardly be seen in the report's
// pictures. With outlines on, both get a dark rim; the window's view is drawn without.
TEST(OutlineRendering, ArrowsAndLabelsGetADarkRimOnlyWhenOutlinesAreOn) {
    RenderHarness h;
    ASSERT_TRUE(h.Ready()) << h.Error();
    Trajectory& trajectory = h.AddTrajectory(true, 0.3, 1.2, 0.3, 1, 1, 1);
    trajectory.out = {0.9, 1.2, 0.3}; // across, off the body
    trajectory.label = "Wound 1";
    h.GetView().Switches().axes = false;

    h.Render();
    const int plain = NearBlackPixels(h);
    EXPECT_EQ(plain, 0);

    h.GetView().Switches().outlines = true;
    h.Render();
    EXPECT_GT(NearBlackPixels(h), 150);
    // The arrow itself stays white inside its rim.
    const auto middle = h.Project(0.6, 1.2, 0.3);
    const Rgb inside = h.Pixel(static_cast<int>(middle[0]), static_cast<int>(middle[1]));
    EXPECT_GT(inside.r + inside.g + inside.b, 600)
        << inside.r << " " << inside.g << " " << inside.b;

    // The label alone: its outline is there without the arrow's.
    h.GetView().Switches().outlines = true;
    trajectory.label = "Wound 1 with a longer label";
    h.Render();
    const int withLongLabel = NearBlackPixels(h);
    trajectory.label.clear();
    h.Render();
    EXPECT_GT(withLongLabel - NearBlackPixels(h), 100);
}
