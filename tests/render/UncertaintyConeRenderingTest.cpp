#include "support/RenderTestSupport.h"

#include "case/Trajectory.h"
#include "export/SceneExportBuilder.h"
#include "render/DrawnConeCache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

bool SameColour(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

} // namespace

// The exported cone covers what the frame tints: points just inside its side land on pixels the
// cone changes, points just outside on pixels it leaves alone.
TEST(UncertaintyConeRendering, TheExportedConeLiesWhereTheFrameDrawsIt) {
    RenderHarness h;
    ASSERT_TRUE(h.Ready()) << h.Error();
    ViewState& view = h.GetView();
    Trajectory& shot = h.AddTrajectory(true, 0.3, 1.0, 0.2, 1, 0, 0);
    shot.out = {0.6, 1.0, 0.2}; // travelling toward the body's left
    shot.radiusIn = 0.05;
    shot.yawAdjustment = 5;
    shot.offset.y = 0.02;

    const int width = RenderHarness::kWidth, height = RenderHarness::kHeight;
    const auto frame = [&] {
        h.Render();
        std::vector<Rgb> pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                pixels.push_back(h.Pixel(x, y));
            }
        }
        return pixels;
    };
    const std::vector<Rgb> without = frame();
    view.ToggleUncertaintyCones();
    const std::vector<Rgb> with = frame();

    const ExportScene exported =
        BuildExportScene(h.Posed(), *h.Arrows(), view.Switches().uncertaintyCones);
    const ExportNode& cone = exported.nodes.back();
    ASSERT_EQ(cone.name, "Uncertainty cone 1");
    const ExportPrimitive& side = cone.primitives.at(0);
    // The side triangles' rim corners are the rim; their third corners are the apex.
    double rim[3] = {0, 0, 0}, apex[3] = {0, 0, 0};
    const std::size_t triangles = side.indices.size() / 3;
    for (std::size_t t = 0; t < triangles; ++t) {
        for (int axis = 0; axis < 3; ++axis) {
            apex[axis] += side.positions[3 * side.indices[3 * t] + axis] / triangles;
            rim[axis] += side.positions[3 * side.indices[3 * t + 1] + axis] / triangles;
        }
    }
    // Whether the cone changed the pixel a point lands on; empty off the frame's edge.
    const auto changed = [&](const Vec3& p) -> std::optional<bool> {
        const auto at = h.Project(p.x, p.y, p.z);
        const int x = static_cast<int>(at[0]), y = static_cast<int>(at[1]);
        if (x < 1 || y < 1 || x >= width - 1 || y >= height - 1) {
            return std::nullopt;
        }
        const std::size_t pixel = static_cast<std::size_t>(y) * width + x;
        return !SameColour(with[pixel], without[pixel]);
    };
    int inside = 0, outside = 0;
    for (std::size_t t = 0; t + 2 < side.indices.size(); t += 3) {
        // From the axis toward the triangle's middle, at the middle's depth: three quarters of
        // the way lies inside the drawn cone, a quarter beyond it outside (checked where the side
        // is seen edge-on, at its top and bottom).
        double middle[3] = {0, 0, 0}, axisPoint[3] = {0, 0, 0};
        for (int axis = 0; axis < 3; ++axis) {
            for (int corner = 0; corner < 3; ++corner) {
                middle[axis] += side.positions[3 * side.indices[t + corner] + axis] / 3.0;
            }
            axisPoint[axis] = apex[axis] + 2 * (rim[axis] - apex[axis]) / 3;
        }
        const Vec3 offset{middle[0] - axisPoint[0], middle[1] - axisPoint[1],
                          middle[2] - axisPoint[2]};
        const auto along = [&](double f) {
            return Vec3{axisPoint[0] + f * offset.x, axisPoint[1] + f * offset.y,
                        axisPoint[2] + f * offset.z};
        };
        if (const std::optional<bool> in = changed(along(0.75))) {
            EXPECT_TRUE(*in) << "inside triangle " << t / 3;
            ++inside;
        }
        const double length =
            std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
        if (std::fabs(offset.y) > 0.95 * length) {
            if (const std::optional<bool> out = changed(along(1.25))) {
                EXPECT_FALSE(*out) << "outside triangle " << t / 3;
                ++outside;
            }
        }
    }
    EXPECT_GT(inside, 10);
    EXPECT_GE(outside, 2);
}

// A cone handed in (a report's budget) is the one drawn, until the trajectory it was drawn for
// changes; then the cache draws it afresh.
TEST(UncertaintyConeRendering, AConeHandedInIsKeptUntilItsTrajectoryChanges) {
    Case theCase;
    Trajectory& shot = theCase.trajectories.emplace_back();
    shot.in = {0.3, 1.0, 0.2};
    shot.out = {0.6, 1.0, 0.2};
    shot.radiusIn = 0.01;
    const PosedCase posed(theCase);
    DrawnConeCache cache;
    const double drawn = cache.ConeOf(posed, 1)->radius;
    cache.Keep(posed, 1, 20.0);
    EXPECT_NEAR(cache.ConeOf(posed, 1)->radius, ConeWithHalfAngle(20.0)->radius, 1e-12);
    EXPECT_GT(std::fabs(ConeWithHalfAngle(20.0)->radius - drawn), 1e-3);
    cache.Keep(posed, 1, std::nullopt);
    EXPECT_FALSE(cache.ConeOf(posed, 1));
    shot.out = {0.6, 1.0, 0.25};
    const PosedCase moved(theCase, &posed);
    ASSERT_TRUE(cache.ConeOf(moved, 1));
    EXPECT_NEAR(cache.ConeOf(moved, 1)->radius, drawn, 0.1 * drawn);
}
