#include "render/CloseUpViews.h"

#include "case/Case.h"
#include "case/PosedCase.h"
#include "view/ViewState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 1000, kHeight = 750;

// Where a body point lands in the picture, in pixels from its lower left corner.
std::array<double, 3> Pixel(const Camera& camera, const Vec3& point) {
    const Vec3 eye = camera.ViewMatrix().TransformPoint(point);
    const Vec3 clip = Camera::ProjectionMatrix(kWidth, kHeight).TransformPoint(eye);
    return {(clip.x + 1) / 2 * kWidth, (clip.y + 1) / 2 * kHeight, eye.z};
}

} // namespace

TEST(CloseUpFramingTest, LooksAcrossTheTrackAndScalesTheBarToIt) {
    struct Track {
        Vec3 in, out;
        double cone;
    };
    const Track tracks[] = {
        {{-0.05, 1.35, 0.22}, {0.06, 1.30, 0.03}, 5}, // chest, front to back
        {{0.18, 1.1, 0.05}, {0.15, 1.15, 0.20}, 3},   // flank, back to front
        {{0.0, 1.5, 0.1}, {0.0, 1.2, 0.1}, 0},        // straight down
        {{-0.25, 1.2, 0.12}, {-0.25, 1.2, 0.12}, 0},  // IN equal to OUT
        {{-0.3, 1.0, 0.1}, {0.3, 1.0, 0.1}, 20},      // right to left through both arms
    };
    for (const Track& t : tracks) {
        const CloseUpFraming framing = FrameCloseUp(t.in, t.out, t.cone, 0, 0.12, kWidth, kHeight);
        const Vec3 travel = Minus(t.out, t.in);
        const double length = std::sqrt(Dot(travel, travel));
        // Perpendicular: the eye's direction has no part along the track, and both ends lie at
        // one depth before the camera.
        EXPECT_NEAR(Dot(framing.toCamera, travel), 0, 1e-9);
        EXPECT_NEAR(Dot(framing.toCamera, framing.toCamera), 1, 1e-9);
        const auto in = Pixel(framing.camera, t.in);
        const auto out = Pixel(framing.camera, t.out);
        EXPECT_NEAR(in[2], out[2], 1e-9);
        EXPECT_LT(in[2], 0) << "in front of the camera";
        // The picture holds both ends with room around them.
        for (const auto& p : {in, out}) {
            EXPECT_GT(p[0], 0.1 * kWidth);
            EXPECT_LT(p[0], 0.9 * kWidth);
            EXPECT_GT(p[1], 0.1 * kHeight);
            EXPECT_LT(p[1], 0.9 * kHeight);
        }
        // The scale bar's pixels per metre are those the track shows at.
        const double pixels = std::hypot(out[0] - in[0], out[1] - in[1]);
        EXPECT_NEAR(pixels, length * framing.pixelsPerMetre, 1e-6 * kWidth);
        // Up stays up: the vertical axis never turns upside down.
        EXPECT_GE(Pixel(framing.camera, Vec3{t.in.x, t.in.y + 0.01, t.in.z})[1] - in[1], 0);
    }
    // The chest track is seen from the front, the arm track from the front as well (it runs
    // through the body's axis), the flank track from the body's left, away from the axis.
    EXPECT_GT(FrameCloseUp(tracks[0].in, tracks[0].out, 5, 0, 0.12, kWidth, kHeight).toCamera.z, 0);
    EXPECT_GT(FrameCloseUp(tracks[1].in, tracks[1].out, 3, 0, 0.12, kWidth, kHeight).toCamera.x, 0);
}

namespace {

// Pixels of a captured picture whose colour is mostly the one channel (0 blue, 1 green, 2 red).
int PixelsMostly(const CapturedImage& image, int channel) {
    int count = 0;
    for (int row = 0; row < image.Height(); ++row) {
        const uint8_t* pixel = image.Pixels() + image.RowStride() * row;
        for (int x = 0; x < image.Width(); ++x, pixel += 4) {
            const int others = std::max(pixel[(channel + 1) % 3], pixel[(channel + 2) % 3]);
            count += pixel[channel] > 120 && pixel[channel] > others + 60 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

TEST(CloseUpViewsTest, EachCloseUpDrawsItsOwnTrajectoryAndNoOther) {
    // Two tracks that cross before the camera of either close-up: a red one across the chest
    // and a blue one up through it.
    Case theCase;
    Trajectory red;
    red.in = {-0.1, 1.2, 0.1};
    red.out = {0.1, 1.2, 0.1};
    red.color = {1, 0, 0};
    theCase.trajectories.push_back(red);
    Trajectory blue;
    blue.in = {0.0, 1.1, 0.1};
    blue.out = {0.0, 1.3, 0.08};
    blue.color = {0, 0, 1};
    theCase.trajectories.push_back(blue);
    std::string error;
    const auto closeUps = RenderCloseUps(PosedCase(theCase), ViewState(), nullptr, 320, 240, error);
    ASSERT_TRUE(closeUps) << error;
    ASSERT_EQ(closeUps->size(), 2u);
    EXPECT_GT(PixelsMostly((*closeUps)[0].image, 2), 50);
    EXPECT_EQ(PixelsMostly((*closeUps)[0].image, 0), 0)
        << "the blue track in the red one's picture";
    EXPECT_GT(PixelsMostly((*closeUps)[1].image, 0), 50);
    EXPECT_EQ(PixelsMostly((*closeUps)[1].image, 2), 0)
        << "the red track in the blue one's picture";
}
