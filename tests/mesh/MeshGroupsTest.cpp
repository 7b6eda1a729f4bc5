#include "mesh/MeshGroups.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr std::size_t kTriangles = 40000; // enough to be boxed on several cores

// One group of kTriangles triangles whose corners are vertices 1, 2, 3, 4, ... in order (counting
// from 1, as a file does), every vertex at (1, 1, 1) unless `place` moves it.
Mesh GridOfCorners() {
    Mesh mesh;
    mesh.positions.assign(3 * kTriangles, Vec3f{1.0f, 1.0f, 1.0f});
    MeshGroup group;
    group.name = "default";
    for (std::size_t t = 0; t < kTriangles; ++t) {
        MeshTriangle triangle;
        for (int corner = 0; corner < 3; ++corner) {
            triangle.position[corner] =
                static_cast<uint32_t>(3 * t + static_cast<std::size_t>(corner));
        }
        mesh.triangles.push_back(triangle);
        group.triangleIndices.push_back(static_cast<uint32_t>(t));
    }
    mesh.groups.push_back(group);
    return mesh;
}

void Place(Mesh& mesh, std::size_t vertex, float x, float y, float z) {
    mesh.positions[vertex - 1] = {x, y, z};
}

// The rule in its plainest form: one pass over the corners in file order, the first setting all
// six values, each later one widening the box only where it lies strictly beyond.
std::array<float, 6> BoxInOnePass(const Mesh& mesh) {
    std::array<float, 6> box{};
    bool first = true;
    for (const MeshTriangle& triangle : mesh.triangles) {
        for (const uint32_t vertex : triangle.position) {
            for (int axis = 0; axis < 3; ++axis) {
                const float value = mesh.positions[vertex][axis];
                if (first || value < box[axis]) {
                    box[axis] = value;
                }
                if (first || value > box[axis + 3]) {
                    box[axis + 3] = value;
                }
            }
            first = false;
        }
    }
    return box;
}

// Bit for bit, so that a NaN equals a NaN and 0 differs from -0.
bool SameBits(const std::array<float, 6>& a, const std::array<float, 6>& b) {
    return std::memcmp(a.data(), b.data(), sizeof a) == 0;
}

} // namespace

TEST(MeshGroupsTest, GroupBoxIsTheBoxOfOnePassInFileOrder) {
    const std::size_t last = 3 * kTriangles;
    const std::size_t middle = last / 2 + 1; // the first corner of a later part on two cores
    struct Placement {
        const char* what;
        std::vector<std::array<float, 4>> placed; // vertex, x, y, z
        bool laterHalfNaN = false;
    };
    std::vector<Placement> cases = {
        {"a NaN first in a later part hides nothing after it",
         {{float(middle), kNaN, kNaN, kNaN}, {float(middle + 1), -5, 7, -3}}},
        {"a NaN at the very first corner stays", {{1, kNaN, 2, 2}, {float(middle), -5, 7, -3}}},
        {"of 0 and -0 the first met stays, on either side of a cut",
         {{1, 0.0f, 0.0f, 0.0f}, {float(middle), -0.0f, -0.0f, -0.0f}}},
        {"-0 met first stays against a later 0",
         {{1, -0.0f, 2, 2}, {float(middle), 0.0f, 2, 2}, {float(last), 0.0f, 0, 0}}},
        {"infinities in a later part widen the box",
         {{float(middle + 7), -kInfinity, kInfinity, 1}, {float(last), 3, 3, kInfinity}}},
        {"a later part of NaNs only", {{1, 4, 4, 4}}, true},
    };
    // Each core walks its part as a few runs side by side: the first corner of every eighth of
    // the triangles starts a run on one core or two. Of 0 and -0 met at those cuts the first
    // stays, a NaN starting a later run hides nothing after it, and an extreme lies anywhere.
    std::vector<Placement> atEveryCut = {{"0 and -0 at every cut", {{1, 1, 1, 1}}},
                                         {"NaNs at every cut", {{1, 1, 1, 1}}},
                                         {"extremes just before every cut", {{1, 1, 1, 1}}}};
    for (std::size_t eighth = 1; eighth < 8; ++eighth) {
        const auto cut = static_cast<float>(3 * (kTriangles * eighth / 8) + 1);
        const float zero = eighth % 2 == 0 ? 0.0f : -0.0f;
        atEveryCut[0].placed.push_back({cut, zero, -zero, zero});
        atEveryCut[0].placed.push_back({cut + 1, -zero, zero, -zero});
        atEveryCut[1].placed.push_back({cut, kNaN, kNaN, kNaN});
        atEveryCut[1].placed.push_back({cut + 1, float(-1.0 - eighth), 1, float(eighth)});
        atEveryCut[2].placed.push_back({cut - 1, float(eighth), float(-eighth), 1});
    }
    cases.insert(cases.end(), atEveryCut.begin(), atEveryCut.end());
    for (const Placement& c : cases) {
        Mesh mesh = GridOfCorners();
        for (const auto& [vertex, x, y, z] : c.placed) {
            Place(mesh, static_cast<std::size_t>(vertex), x, y, z);
        }
        if (c.laterHalfNaN) {
            for (std::size_t v = middle; v <= last; ++v) {
                Place(mesh, v, kNaN, kNaN, kNaN);
            }
        }
        ComputeMeshBoxes(mesh);
        EXPECT_TRUE(SameBits(mesh.groups[0].box, BoxInOnePass(mesh))) << c.what;
    }

    Mesh empty = GridOfCorners();
    empty.groups[0].triangleIndices.clear();
    ComputeMeshBoxes(empty);
    EXPECT_TRUE(SameBits(empty.groups[0].box, {0, 0, 0, 0, 0, 0}));
}
