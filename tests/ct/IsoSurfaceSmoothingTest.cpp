#include "ct/IsoSurface.h"
#include "mesh/MeshSmoothing.h"
#include "mesh/MeshValidation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A ball of radius 10 voxels with a hard edge (bone in air): its iso-surface is a staircase.
CtVolume StaircaseBallVolume() {
    constexpr int n = 26;
    CtVolume volume;
    volume.size = {n, n, n};
    volume.spacing = {1, 1, 1};
    volume.hu.resize(n * n * n);
    for (int k = 0; k < n; ++k) {
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                const double x = i - 12.5, y = j - 12.5, z = k - 12.5;
                volume.hu[i + n * (j + n * k)] = x * x + y * y + z * z < 100 ? 1000 : -1000;
            }
        }
    }
    return volume;
}

struct RadiusSpread {
    double mean = 0, deviation = 0;
};

RadiusSpread RadiiAround(const Mesh& mesh, const Vec3& centre) {
    double sum = 0, squares = 0;
    for (const Vec3f& position : mesh.positions) {
        const Vec3 d = Minus(ToVec3(position), centre);
        const double r = std::sqrt(Dot(d, d));
        sum += r;
        squares += r * r;
    }
    const double count = static_cast<double>(mesh.positions.size());
    return {sum / count, std::sqrt(std::max(0.0, squares / count - sum * sum / (count * count)))};
}

TEST(IsoSurfaceSmoothing, TaubinTakesOutTheStaircaseAndKeepsTheSize) {
    Mesh staircase;
    ASSERT_TRUE(ExtractIsoSurface(StaircaseBallVolume(), {.thresholdHu = 0}, staircase));
    const Vec3 centre{12.5, 12.5, 12.5};
    const RadiusSpread before = RadiiAround(staircase, centre);

    Mesh taubin = staircase;
    SmoothTaubin(taubin, {.iterations = 10});
    ASSERT_TRUE(Validate(taubin));
    const RadiusSpread after = RadiiAround(taubin, centre);
    // The staircase is the middle of the spectrum, which the filter takes out slowly: ten steps
    // take out about a third of it (0.27 to 0.19 voxels) and move the mean by a thousandth.
    EXPECT_LT(after.deviation, 0.8 * before.deviation);
    EXPECT_NEAR(after.mean, before.mean, 0.01);
    ASSERT_EQ(taubin.triangles.size(), staircase.triangles.size());
    for (std::size_t index = 0; index < taubin.triangles.size(); ++index) {
        ASSERT_EQ(taubin.triangles[index].position, staircase.triangles[index].position);
    }
    EXPECT_NE(taubin.revision, staircase.revision);
    int inward = 0;
    for (std::size_t index = 0; index < taubin.positions.size(); ++index) {
        inward +=
            Dot(Minus(ToVec3(taubin.positions[index]), centre), ToVec3(taubin.normals[index])) <= 0
                ? 1
                : 0;
    }
    EXPECT_EQ(inward, 0);

    // The same steps without the inflating one shrink the ball: what the filter is for.
    Mesh laplacian = staircase;
    SmoothTaubin(laplacian, {.iterations = 10, .lambda = 0.5f, .mu = 0.0f});
    EXPECT_LT(RadiiAround(laplacian, centre).mean, before.mean - 0.05);

    // A mesh whose normals do not follow its positions loses them rather than keep stale ones.
    Mesh shared = staircase;
    shared.normals.push_back({0, 0, 1});
    for (MeshTriangle& triangle : shared.triangles) {
        triangle.normal = {0, 0, 0};
    }
    SmoothTaubin(shared, {.iterations = 1});
    EXPECT_TRUE(shared.normals.empty());
    EXPECT_EQ(shared.triangles.front().normal[0], kNoIndex);
    EXPECT_TRUE(Validate(shared));
}

} // namespace
