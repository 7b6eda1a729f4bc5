#include "support/RenderTestSupport.h"

#include "view/Camera.h"

#include <gtest/gtest.h>

namespace {

// Beside the box body (x -10..10 cm), at the depth the close camera below sees sharply.
constexpr double kTrackPointX = 0.25;
constexpr double kTrackPointY = 1.0;
constexpr double kTrackPointZ = 0.12;

bool IsMostlyGreen(const Rgb& pixel) {
    return pixel.g > pixel.r + 60 && pixel.g > pixel.b + 60;
}

} // namespace

// A point between IN and OUT is a small ball in the track's colour where the posture carries
// it; a track without points draws nothing there, and the ball picks its trajectory.
TEST(TrackPointRendering, EachPointIsABallInTheTracksColour) {
    RenderHarness h;
    ASSERT_TRUE(h.Ready()) << h.Error();
    h.GetView().Switches().axes = false;
    h.GetView().Switches().text = false;
    Camera& camera = h.GetView().GetCamera();
    camera.SetX(kTrackPointX);
    camera.SetY(kTrackPointY);
    camera.SetZ(0.4);
    // Its arrow 5 cm to the left of the point, 6 cm wide: it does not reach the point.
    h.AddTrajectory(true, kTrackPointX - 0.05, kTrackPointY, 0.3, 0.0, 1.0, 0.0);
    h.Render();
    EXPECT_FALSE(IsMostlyGreen(h.PixelAt(kTrackPointX, kTrackPointY, kTrackPointZ)));

    h.GetCase().trajectories[0].points.push_back(
        {{kTrackPointX, kTrackPointY, kTrackPointZ}, 0.01, ""});
    h.Render();
    ASSERT_EQ(h.Posed().GetTrajectories().at(0).points.size(), 1u);
    EXPECT_TRUE(IsMostlyGreen(h.PixelAt(kTrackPointX, kTrackPointY, kTrackPointZ)));
    // Some 2 cm off, beside the ball, the background shows.
    EXPECT_FALSE(IsMostlyGreen(h.PixelAt(kTrackPointX + 0.02, kTrackPointY, kTrackPointZ)));

    const auto at = h.Project(kTrackPointX, kTrackPointY, kTrackPointZ);
    h.PickAt(at[0], at[1]);
    EXPECT_EQ(h.GetView().GetSelectedTrajectoryNumber(), 1);
}
