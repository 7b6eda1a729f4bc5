#include "support/RenderTestSupport.h"

#include "render/FontGlyphs.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr int kBackground = 217; // the clear grey 0.85

bool Near(const Rgb& pixel, int r, int g, int b, int tolerance) {
    return std::abs(pixel.r - r) <= tolerance && std::abs(pixel.g - g) <= tolerance &&
           std::abs(pixel.b - b) <= tolerance;
}

// Lines are one pixel wide: look for the colour within `radius` pixels of the projected point.
bool ColourNear(const RenderHarness& h, std::array<double, 2> at, int r, int g, int b,
                int radius = 2) {
    const int cx = static_cast<int>(at[0]);
    const int cy = static_cast<int>(at[1]);
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (Near(h.Pixel(cx + dx, cy + dy), r, g, b, 2)) {
                return true;
            }
        }
    }
    return false;
}

Rgb PixelAt(const RenderHarness& h, std::array<double, 2> at) {
    return h.Pixel(static_cast<int>(at[0]), static_cast<int>(at[1]));
}

// A point on the front of an element's sphere where the quad normal is exactly +Z (the quad from
// latitude 0 and longitude 0), seen from the front.
std::array<double, 3> FacingQuadPoint(const Element& element) {
    const double r = element.size.x / 2;
    const double a = 5.6 * std::numbers::pi / 180;
    return {element.centre.x + r * std::cos(a) * std::sin(a), element.centre.y + r * std::sin(a),
            element.centre.z + r * std::cos(a) * std::cos(a)};
}

class FrameRendering : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(h.Ready()) << h.Error(); }
    RenderHarness h;
};

TEST_F(FrameRendering, ArrowElementAxesAndGridsLandWhereTheyProject) {
    h.AddTrajectory(true, -0.4, 1.2, 0.5, 1, 0, 0);
    h.AddElement(0.4, 1.2, 0.5, 0.2, 0, 1, 0);
    h.GetView().ToggleFrontGrid();
    h.Render();

    const Rgb arrow = PixelAt(h, h.Project(-0.4, 1.2, 0.5));
    EXPECT_GT(arrow.r, 150);
    EXPECT_LT(arrow.g, 40);
    const Rgb element = PixelAt(h, h.Project(0.4, 1.2, 0.6));
    EXPECT_GT(element.g, 150);
    EXPECT_LT(element.r, 40);
    // Unlit axes in their pure colours, clear of the body.
    EXPECT_TRUE(ColourNear(h, h.Project(0.8, 0, 0), 255, 0, 0));
    EXPECT_TRUE(ColourNear(h, h.Project(0, 2.3, 0), 0, 255, 0));
    EXPECT_TRUE(ColourNear(h, h.Project(-0.8, 0, 0), 255, 255, 255));
    // Front grid: grey 0.7 every 0.1 m, 0.9 at 1 m; nothing between the lines.
    EXPECT_TRUE(ColourNear(h, h.Project(0.75, 0.5, 0), 178, 178, 178));
    EXPECT_TRUE(ColourNear(h, h.Project(0.75, 1.0, 0), 229, 229, 229));
    EXPECT_TRUE(
        Near(PixelAt(h, h.Project(0.75, 0.55, 0)), kBackground, kBackground, kBackground, 1));

    // Without the switches only the background remains there.
    h.GetView().ToggleAxes();
    h.GetView().ToggleFrontGrid();
    h.Render();
    EXPECT_FALSE(ColourNear(h, h.Project(0.8, 0, 0), 255, 0, 0));
    EXPECT_FALSE(ColourNear(h, h.Project(0.75, 0.5, 0), 178, 178, 178));
}

TEST_F(FrameRendering, LateralGridLiesInThePlaneXZero) {
    h.GetView().ToggleAxes();
    h.GetView().ToggleLateralGrid();
    h.GetView().ViewRight();
    h.Render();
    // A horizontal line at y = 0.5 running along z, and the vertical line at z = 0.7.
    EXPECT_TRUE(ColourNear(h, h.Project(0, 0.5, 0.75), 178, 178, 178));
    EXPECT_TRUE(ColourNear(h, h.Project(0, 0.25, 0.7), 178, 178, 178));
    EXPECT_TRUE(
        Near(PixelAt(h, h.Project(0, 0.55, 0.75)), kBackground, kBackground, kBackground, 1));
}

TEST_F(FrameRendering, LandmarkMarkersShowOnlyWhenAskedAndFollowTheBodyScale) {
    h.GetView().ToggleAxes();
    // The markers are green; the body is blue and the background grey.
    auto isMarker = [](const Rgb& c) { return c.g > 150 && c.r < 60 && c.b < 120; };
    const auto marker = h.Project(0.05, 1.0, 0.2222);
    h.Render();
    EXPECT_FALSE(isMarker(PixelAt(h, marker))) << "hidden at first";

    h.GetView().ToggleLandmarks();
    h.Render();
    EXPECT_TRUE(isMarker(PixelAt(h, marker)));

    // A body 1 m tall carries its marker down to half the height.
    ASSERT_TRUE(h.GetCase().body.SetHeight(1.0));
    h.Render();
    EXPECT_FALSE(isMarker(PixelAt(h, marker)));
    EXPECT_TRUE(isMarker(PixelAt(h, h.Project(0.025, 0.5, 0.1111))));
}

TEST_F(FrameRendering, TransparentBodyShowsTheArrowInsideIt) {
    // The body spans x -0.11..0.11 and z 0..0.22; this arrow lies inside it.
    h.AddTrajectory(true, 0, 1.2, 0.15, 1, 0, 0);
    const auto front = h.Project(0, 1.2, 0.222);
    h.Render();
    const Rgb opaque = PixelAt(h, front);
    EXPECT_LT(opaque.r, 50);
    EXPECT_GT(opaque.b, 200);

    h.GetView().ToggleBodyTransparency();
    h.Render();
    const Rgb blended = PixelAt(h, front);
    // 0.6 of the body over 0.4 of the red arrow.
    EXPECT_NEAR(blended.r, 0.6 * opaque.r + 0.4 * 255, 6);
    EXPECT_NEAR(blended.b, 0.6 * opaque.b, 6);
}

TEST_F(FrameRendering, SceneLightsReachTheArrowsButNotTheElements) {
    h.AddTrajectory(true, -0.4, 1.2, 0.5, 0.5, 0.5, 0.5);
    const Element& element = h.AddElement(0.4, 1.2, 0.5, 0.4, 0.5, 0.5, 0.5);
    h.Render();
    // Faces toward the viewer: ambient 0.2 and the headlight 1.0 for both; light 1 adds
    // cos 54.7 degrees = 0.577 on the arrow alone (light 2 is behind them).
    const Rgb arrow = PixelAt(h, h.Project(-0.4, 1.2, 0.5));
    EXPECT_NEAR(arrow.r, 0.5 * (0.2 + 1.0 + 0.577) * 255, 3);
    const auto point = FacingQuadPoint(element);
    const Rgb solid = PixelAt(h, h.Project(point[0], point[1], point[2]));
    EXPECT_NEAR(solid.r, 0.5 * (0.2 + 1.0) * 255, 3);
}

// Finds the glyph's lit pixels at the raster position (allowing for rounding).
bool GlyphAt(const RenderHarness& h, const FontGlyph& glyph, int x, int y) {
    for (int row = 0; row < 13; ++row) {
        for (int column = 0; column < 8; ++column) {
            const bool on = (glyph[row] >> (7 - column)) & 1;
            // The label has the trajectory's own orange, not a lit shade of it.
            const bool orange = Near(h.Pixel(x + column, y + row), 255, 127, 0, 2);
            if (on != orange) {
                return false;
            }
        }
    }
    return true;
}

bool GlyphNear(const RenderHarness& h, const FontGlyph& glyph, std::array<double, 2> raster,
               int lineOffset) {
    const int x = static_cast<int>(std::floor(raster[0]));
    const int y = static_cast<int>(std::floor(raster[1] - 2)) - lineOffset;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (GlyphAt(h, glyph, x + dx, y + dy)) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(FrameRendering, LabelsDrawEveryLineUnderTheOneBefore) {
    // Codes outside 32..126 draw nothing and take no room.
    Trajectory& trajectory = h.AddTrajectory(true, 0.5, 1.3, 0, 1, 0.5, 0);
    trajectory.label = "\x01"
                       "A\xC3\xA9\r\nA";
    const auto raster = h.Project(0.5, 1.3, 0.71);
    const FontGlyph& a = kFontGlyphs['A' - 32];
    h.Render();
    EXPECT_TRUE(GlyphNear(h, a, raster, 0));
    EXPECT_TRUE(GlyphNear(h, a, raster, 13));
    // The character after the first "A" would be at +10 pixels; nothing is drawn there.
    const Rgb after = h.Pixel(static_cast<int>(raster[0]) + 13, static_cast<int>(raster[1]) + 4);
    EXPECT_TRUE(Near(after, kBackground, kBackground, kBackground, 1));

    h.GetView().ToggleText();
    h.Render();
    EXPECT_FALSE(GlyphNear(h, a, raster, 0));
}

TEST_F(FrameRendering, ZeroHeightAndZeroWidthStayFinite) {
    h.Resize(RenderHarness::kWidth, 0);
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (double value : projection) {
        EXPECT_TRUE(std::isfinite(value));
    }
    // Aspect = width / 1.
    EXPECT_NEAR(projection[0], std::sqrt(3.0) / RenderHarness::kWidth, 1e-9);
    h.Resize(RenderHarness::kWidth, RenderHarness::kHeight);

    // An element without width draws no solid; the next element still draws.
    h.AddElement(-0.4, 1.2, 0.5, 0.0, 0, 1, 0).size.y = 0.3;
    h.AddElement(0.4, 1.2, 0.5, 0.2, 0, 1, 0);
    h.Render();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(
        Near(PixelAt(h, h.Project(-0.4, 1.2, 0.5)), kBackground, kBackground, kBackground, 1));
    EXPECT_GT(PixelAt(h, h.Project(0.4, 1.2, 0.6)).g, 150);
}

} // namespace
