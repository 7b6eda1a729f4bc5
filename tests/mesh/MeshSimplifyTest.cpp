#include "mesh/MeshSimplify.h"
#include "mesh/MeshValidation.h"

#include <gtest/gtest.h>

namespace {

// A grid of n x n vertices over [0, 4] x [0, 2] (z = 0) in two groups: the left half and the
// right half of its columns.
Mesh Grid(int n) {
    Mesh mesh;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            mesh.positions.push_back({4.0f * i / (n - 1), 2.0f * j / (n - 1), 0.0f});
        }
    }
    mesh.groups.resize(2);
    mesh.groups[0].name = "left";
    mesh.groups[1].name = "right";
    const auto index = [n](int i, int j) { return static_cast<uint32_t>(j * n + i); };
    for (int j = 0; j + 1 < n; ++j) {
        for (int i = 0; i + 1 < n; ++i) {
            MeshGroup& group = mesh.groups[i < n / 2 ? 0 : 1];
            for (const auto& c : {std::array{index(i, j), index(i + 1, j), index(i + 1, j + 1)},
                                  std::array{index(i, j), index(i + 1, j + 1), index(i, j + 1)}}) {
                MeshTriangle triangle;
                triangle.position = c;
                group.triangleIndices.push_back(static_cast<uint32_t>(mesh.triangles.size()));
                mesh.triangles.push_back(triangle);
            }
        }
    }
    return mesh;
}

} // namespace

TEST(MeshSimplifyTest, TheCopyStaysWithinItsBudgetKeepsItsGroupsAndCoversTheSameGround) {
    const Mesh grid = Grid(201); // 80,000 triangles
    const Mesh copy = SimplifyByClustering(grid, 5000);
    EXPECT_LE(copy.triangles.size(), 5000u);
    EXPECT_GT(copy.triangles.size(), 1000u) << "not coarser than it needs to be";
    ASSERT_EQ(copy.groups.size(), 2u);
    EXPECT_EQ(copy.groups[0].name, "left");
    EXPECT_GT(copy.groups[0].triangleIndices.size(), 0u);
    EXPECT_GT(copy.groups[1].triangleIndices.size(), 0u);
    float minX = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (const MeshTriangle& triangle : copy.triangles) {
        for (const uint32_t v : triangle.position) {
            ASSERT_LT(v, copy.positions.size());
            minX = std::min(minX, copy.positions[v].x);
            maxX = std::max(maxX, copy.positions[v].x);
            maxY = std::max(maxY, copy.positions[v].y);
        }
    }
    // Merged vertices sit at their cells' means: the outline shrinks by less than a cell.
    EXPECT_LT(minX, 0.1f);
    EXPECT_GT(maxX, 3.9f);
    EXPECT_GT(maxY, 1.9f);
    EXPECT_TRUE(Validate(copy)) << Validate(copy).message();

    // A mesh naming a vertex it does not have loses that triangle, nothing else.
    Mesh broken = Grid(3);
    broken.triangles[0].position[1] = 99;
    EXPECT_EQ(SimplifyByClustering(broken, 1000).triangles.size(), broken.triangles.size() - 1);
}
