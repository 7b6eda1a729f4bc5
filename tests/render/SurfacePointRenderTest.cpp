#include "support/RenderTestSupport.h"

#include "render/SurfaceMarkers.h"
#include "view/SurfacePicking.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>

namespace {

constexpr int W = RenderHarness::kWidth;
constexpr int H = RenderHarness::kHeight;

std::array<double, 16> ProjectionOnTheStack() {
    std::array<double, 16> values{};
    glGetDoublev(GL_PROJECTION_MATRIX, values.data());
    return values;
}

bool Is(const Rgb& pixel, const float (&color)[3]) {
    return pixel.r == static_cast<int>(color[0] * 255) &&
           pixel.g == static_cast<int>(color[1] * 255) &&
           pixel.b == static_cast<int>(color[2] * 255);
}

// Eye-space distance along -Z of what the framebuffer shows at a pixel, from its depth.
double ShownDepth(int x, int yFromBottom) {
    float depth = 0;
    glReadPixels(x, yFromBottom, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    const double n = Camera::kNearPlane, f = Camera::kFarPlane;
    const double ndc = 2.0 * depth - 1.0;
    return 2.0 * n * f / (f + n - ndc * (f - n));
}

class SurfacePointRender : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Ready()) << h.Error();
        ASSERT_TRUE(theCase.body.Load(RUVO_SOURCE_DIR "/data/default/man1.obj"));
        view.ToggleAxes(); // the axes cross would cover some body pixels
    }
    RenderHarness h;
    Case& theCase = h.GetCase();
    ViewState& view = h.GetView();
};

} // namespace

TEST_F(SurfacePointRender, FrameProjectsThroughTheCameraMatrixAsGluDid) {
    h.Resize(W, H);
    const auto ours = ProjectionOnTheStack();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(W) / H, 0.01, 128.0);
    const auto glu = ProjectionOnTheStack();
    glMatrixMode(GL_MODELVIEW);
    EXPECT_EQ(ours, glu);
}

// For pixels across the body in three views: the depth the frame shows there is the point's
// depth, and a marker drawn at the point covers that very pixel.
TEST_F(SurfacePointRender, PointIsWhatThePixelShowsAndItsMarkerLandsThere) {
    int checked = 0;
    const PosedCase posed(theCase);
    const Camera& camera = view.GetCamera();
    using Standard = void (*)(ViewState&);
    const std::array<Standard, 3> standards = {[](ViewState& v) { v.ViewFront(); },
                                               [](ViewState& v) { v.ViewBack(); },
                                               [](ViewState& v) { v.ViewLeft(); }};
    for (const Standard standard : standards) {
        standard(view);
        for (int y = 30; y < H; y += 45) {
            for (int x = 170; x < 235; x += 16) {
                const auto hit = BodySurfaceAt(posed, camera, W, H, x + 0.5, y + 0.5);
                if (!hit) {
                    continue;
                }
                view.ClearSurfaceMarkers();
                h.Render();
                const double eyeDepth = -view.GetCamera().ViewMatrix().TransformPoint(hit->point).z;
                EXPECT_NEAR(ShownDepth(x, H - 1 - y), eyeDepth, 1e-3) << x << "," << y;

                view.AddSurfaceMarker(hit->point);
                h.Render();
                EXPECT_TRUE(Is(h.Pixel(x, H - 1 - y), kInMarkerColor)) << x << "," << y;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 20);
    view.ClearSurfaceMarkers();
    view.ViewFront();
    EXPECT_FALSE(BodySurfaceAt(posed, camera, W, H, 3.5, 3.5));
}
