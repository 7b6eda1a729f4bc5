#include "ct/IsoSurface.h"
#include "ct/IsoSurfaceJoin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <utility>

namespace {

// A ball of radius `radius` mm around the volume's centre: the value falls by 1 HU per micrometre
// across its surface, so that the linear interpolation finds it to well within a voxel.
CtVolume IsoBallVolume(int n, double spacing, double radius, bool leftHanded) {
    CtVolume volume;
    volume.size = {n, n + 2, n + 1};
    volume.spacing = {spacing, spacing * 1.1, spacing * 0.9};
    volume.origin = {-100, 40, 700};
    if (leftHanded) {
        volume.sliceDirection = {0, 0, -1};
    }
    volume.hu.resize(static_cast<size_t>(n) * (n + 2) * (n + 1));
    for (int k = 0; k < n + 1; ++k) {
        for (int j = 0; j < n + 2; ++j) {
            for (int i = 0; i < n; ++i) {
                const double x = (i - (n - 1) / 2.0) * volume.spacing[0];
                const double y = (j - (n + 1) / 2.0) * volume.spacing[1];
                const double z = (k - n / 2.0) * volume.spacing[2];
                const double hu = 1000.0 * (radius - std::sqrt(x * x + y * y + z * z));
                volume.hu[i + static_cast<size_t>(n) * (j + static_cast<size_t>(n + 2) * k)] =
                    static_cast<int16_t>(std::clamp(hu, -3000.0, 3000.0));
            }
        }
    }
    return volume;
}

Vec3 IsoBallCentre(const CtVolume& volume) {
    const int n = volume.size[0];
    const double sign = volume.sliceDirection.z;
    return {volume.origin.x + (n - 1) / 2.0 * volume.spacing[0],
            volume.origin.y + (n + 1) / 2.0 * volume.spacing[1],
            volume.origin.z + sign * n / 2.0 * volume.spacing[2]};
}

struct IsoSurfaceMeasure {
    double area = 0, volume = 0;
    bool closedAndOriented = true; // every edge once in each direction, nothing more
};

IsoSurfaceMeasure MeasureIsoSurface(const Mesh& mesh) {
    IsoSurfaceMeasure measure;
    std::map<std::pair<uint32_t, uint32_t>, int> directed;
    for (const MeshTriangle& triangle : mesh.triangles) {
        const Vec3 a = ToVec3(mesh.positions[triangle.position[0]]);
        const Vec3 b = ToVec3(mesh.positions[triangle.position[1]]);
        const Vec3 c = ToVec3(mesh.positions[triangle.position[2]]);
        const Vec3 cross = Cross(Minus(b, a), Minus(c, a));
        measure.area += std::sqrt(Dot(cross, cross)) / 2;
        measure.volume += Dot(a, Cross(b, c)) / 6;
        for (int corner = 0; corner < 3; ++corner) {
            ++directed[{triangle.position[corner], triangle.position[(corner + 1) % 3]}];
        }
    }
    for (const auto& [edge, count] : directed) {
        const auto reverse = directed.find({edge.second, edge.first});
        if (count != 1 || reverse == directed.end() || reverse->second != 1) {
            measure.closedAndOriented = false;
        }
    }
    return measure;
}

TEST(IsoSurface, BallIsClosedOutwardAndOfTheBallsSize) {
    for (const bool leftHanded : {false, true}) {
        SCOPED_TRACE(leftHanded ? "left-handed axes" : "right-handed axes");
        const double radius = 20;
        const CtVolume volume = IsoBallVolume(28, 2.0, radius, leftHanded);
        Mesh mesh;
        ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 0, .threads = 1}, mesh));
        ASSERT_GT(mesh.triangles.size(), 1000u);
        const IsoSurfaceMeasure measure = MeasureIsoSurface(mesh);
        EXPECT_TRUE(measure.closedAndOriented);
        EXPECT_NEAR(measure.area / (4 * std::numbers::pi * radius * radius), 1.0, 0.02);
        EXPECT_NEAR(measure.volume / (4 / 3.0 * std::numbers::pi * radius * radius * radius), 1.0,
                    0.02);
        const Vec3 centre = IsoBallCentre(volume);
        ASSERT_EQ(mesh.normals.size(), mesh.positions.size());
        int inward = 0;
        for (std::size_t index = 0; index < mesh.positions.size(); ++index) {
            const Vec3 out = Minus(ToVec3(mesh.positions[index]), centre);
            // Interpolating along an edge finds a point of the chord, not of the sphere: within a
            // twentieth of a voxel here.
            EXPECT_NEAR(std::sqrt(Dot(out, out)), radius, 0.1);
            inward += Dot(out, ToVec3(mesh.normals[index])) <= 0 ? 1 : 0;
        }
        EXPECT_EQ(inward, 0);
        ASSERT_EQ(mesh.groups.size(), 1u);
        EXPECT_EQ(mesh.groups[0].triangleIndices.size(), mesh.triangles.size());
    }
}

TEST(IsoSurface, SameMeshOnAnyNumberOfThreads) {
    // Tall enough for several slabs, so that the threads' shares meet inside the ball.
    const CtVolume volume = IsoBallVolume(40, 1.0, 17, false);
    Mesh one, two, three;
    ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 0, .threads = 1}, one));
    ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 0, .threads = 2}, two));
    ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 0, .threads = 3}, three));
    for (const Mesh* other : {&two, &three}) {
        EXPECT_EQ(other->positions, one.positions);
        EXPECT_EQ(other->normals, one.normals);
        ASSERT_EQ(other->triangles.size(), one.triangles.size());
        for (std::size_t index = 0; index < one.triangles.size(); ++index) {
            ASSERT_EQ(other->triangles[index].position, one.triangles[index].position);
        }
    }
    // The vertices on the planes where slabs meet are made once.
    EXPECT_TRUE(MeasureIsoSurface(two).closedAndOriented);
}

TEST(IsoSurface, EmptyFullAndBrokenVolumes) {
    CtVolume volume;
    volume.size = {5, 4, 11};
    volume.spacing = {0.5, 0.75, 2.0};
    volume.origin = {10, 20, 30};
    volume.hu.assign(5 * 4 * 11, 299);
    Mesh mesh;
    // Nothing reaches the threshold: no surface, and that is no failure.
    ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 300}, mesh));
    EXPECT_TRUE(mesh.triangles.empty());
    EXPECT_TRUE(mesh.positions.empty());

    // Everything reaches it: the outside closes the surface half a voxel beyond the outermost
    // voxel centres, a box as large as the voxels' extent, its edges and corners chamfered.
    ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 299}, mesh));
    const IsoSurfaceMeasure measure = MeasureIsoSurface(mesh);
    EXPECT_TRUE(measure.closedAndOriented);
    const double a = 5 * 0.5, b = 4 * 0.75, c = 11 * 2.0;
    EXPECT_LE(measure.volume, a * b * c + 1e-3);
    EXPECT_GT(measure.volume, 0.95 * a * b * c);
    EXPECT_LE(measure.area, 2 * (a * b + b * c + c * a) + 1e-3);
    const std::array<float, 6> box = mesh.groups.at(0).box;
    EXPECT_FLOAT_EQ(box[0], 10 - 0.25f);
    EXPECT_FLOAT_EQ(box[4], 20 + 2.25f + 0.375f);
    EXPECT_FLOAT_EQ(box[5], 30 + 21.0f);

    // Volumes whose facts disagree are refused, not read out of bounds.
    CtVolume shortData = volume;
    shortData.hu.pop_back();
    EXPECT_FALSE(ExtractIsoSurface(shortData, {}, mesh));
    EXPECT_TRUE(mesh.triangles.empty());
    CtVolume flat = volume;
    flat.sliceDirection = flat.rowDirection;
    EXPECT_FALSE(ExtractIsoSurface(flat, {}, mesh));
    CtVolume noSpacing = volume;
    noSpacing.spacing[2] = 0;
    EXPECT_FALSE(ExtractIsoSurface(noSpacing, {}, mesh));
}

// The connected pieces of a surface (triangles joined by their vertices), as lists of triangles.
std::vector<std::vector<std::size_t>> IsoSurfacePieces(const Mesh& mesh) {
    std::vector<std::size_t> parent(mesh.positions.size());
    for (std::size_t index = 0; index < parent.size(); ++index) {
        parent[index] = index;
    }
    const auto root = [&parent](std::size_t index) {
        while (parent[index] != index) {
            index = parent[index] = parent[parent[index]];
        }
        return index;
    };
    for (const MeshTriangle& triangle : mesh.triangles) {
        parent[root(triangle.position[1])] = root(triangle.position[0]);
        parent[root(triangle.position[2])] = root(triangle.position[0]);
    }
    std::map<std::size_t, std::vector<std::size_t>> pieces;
    for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
        pieces[root(mesh.triangles[t].position[0])].push_back(t);
    }
    std::vector<std::vector<std::size_t>> listed;
    for (auto& [key, triangles] : pieces) {
        listed.push_back(std::move(triangles));
    }
    return listed;
}

double IsoSurfacePieceVolume(const Mesh& mesh, const std::vector<std::size_t>& triangles) {
    double volume = 0;
    for (std::size_t t : triangles) {
        const auto& corners = mesh.triangles[t].position;
        volume +=
            Dot(ToVec3(mesh.positions[corners[0]]),
                Cross(ToVec3(mesh.positions[corners[1]]), ToVec3(mesh.positions[corners[2]]))) /
            6;
    }
    return volume;
}

CtVolume IsoNoiseVolume(std::array<int, 3> size, std::mt19937& random, double insideShare) {
    CtVolume volume;
    volume.size = size;
    volume.spacing = {0.8, 0.9, 1.3};
    volume.origin = {5, -7, 30};
    volume.hu.resize(static_cast<size_t>(size[0]) * size[1] * size[2]);
    std::uniform_real_distribution<double> uniform(0, 1);
    for (int16_t& hu : volume.hu) {
        const double draw = uniform(random);
        // Inside voxels at several levels, so that the crossings lie anywhere along the edges.
        hu = static_cast<int16_t>(draw < insideShare ? 1 + 999 * (draw / insideShare)
                                                     : -1000 * (draw - insideShare));
    }
    return volume;
}

TEST(IsoSurface, EveryCornerCaseIsClosedAndFacesOut) {
    // A cell of two by two by two voxels, with the padding around it, in each of its 256 states:
    // no two voxels of it can enclose a cavity, so every piece of its surface must enclose a
    // positive volume, whatever the ambiguous faces and cells.
    for (int insideCorners = 1; insideCorners < 256; ++insideCorners) {
        SCOPED_TRACE(insideCorners);
        CtVolume volume;
        volume.size = {2, 2, 2};
        volume.spacing = {1, 1, 1};
        volume.hu.resize(8);
        for (int corner = 0; corner < 8; ++corner) {
            volume.hu[corner] = (insideCorners >> corner & 1) ? 700 : -1000;
        }
        Mesh mesh;
        ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 0, .threads = 1}, mesh));
        ASSERT_FALSE(mesh.triangles.empty());
        EXPECT_TRUE(MeasureIsoSurface(mesh).closedAndOriented);
        for (const std::vector<std::size_t>& piece : IsoSurfacePieces(mesh)) {
            EXPECT_GT(IsoSurfacePieceVolume(mesh, piece), 0.01);
        }
    }
}

TEST(IsoSurface, NoiseVolumesAreClosedAndOriented) {
    // Noise has every case, ambiguous faces beside each other, and slabs that meet inside it.
    std::mt19937 random(41);
    for (int round = 0; round < 40; ++round) {
        const double share = 0.1 + 0.02 * round;
        SCOPED_TRACE(share);
        const CtVolume volume = IsoNoiseVolume({7, 6, 19}, random, share);
        Mesh one, two;
        ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 1, .threads = 1}, one));
        ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 1, .threads = 2}, two));
        ASSERT_FALSE(one.triangles.empty());
        const IsoSurfaceMeasure measure = MeasureIsoSurface(one);
        EXPECT_TRUE(measure.closedAndOriented);
        // Cavities count against the volume, but the whole encloses more than nothing and less
        // than the padded block.
        EXPECT_GT(measure.volume, 0);
        EXPECT_LT(measure.volume, 9 * 0.8 * 8 * 0.9 * 21 * 1.3);
        EXPECT_EQ(two.positions, one.positions);
        ASSERT_EQ(two.triangles.size(), one.triangles.size());
        for (std::size_t t = 0; t < one.triangles.size(); ++t) {
            ASSERT_EQ(two.triangles[t].position, one.triangles[t].position);
        }
        // No triangle has two corners at one vertex.
        for (const MeshTriangle& triangle : one.triangles) {
            const auto& c = triangle.position;
            ASSERT_TRUE(c[0] != c[1] && c[1] != c[2] && c[0] != c[2]);
        }
    }
}

TEST(IsoSurface, SlabsJoinIntoTheWholeSurfaceAndUnknownSeamsFail) {
    // Slabs of uneven depth, joined on two threads, give the mesh the whole volume gives.
    std::mt19937 random(7);
    const CtVolume volume = IsoNoiseVolume({6, 7, 23}, random, 0.45);
    Mesh whole;
    ASSERT_TRUE(ExtractIsoSurface(volume, {.thresholdHu = 1, .threads = 1}, whole));
    std::vector<IsoSurfaceSlab> slabs;
    const int layers = IsoSurfaceLayers(volume);
    ASSERT_TRUE(MarchIsoSurfaceSlabs(volume, 1, {{0, 1}, {1, 9}, {9, 10}, {10, layers}}, slabs));
    Mesh joined;
    ASSERT_TRUE(IsoSurfaceJoin(slabs, 2).Into(joined));
    EXPECT_EQ(joined.positions, whole.positions);
    ASSERT_EQ(joined.triangles.size(), whole.triangles.size());
    for (std::size_t t = 0; t < whole.triangles.size(); ++t) {
        ASSERT_EQ(joined.triangles[t].position, whole.triangles[t].position);
    }
    ASSERT_EQ(joined.normals.size(), whole.normals.size());
    for (std::size_t index = 0; index < whole.normals.size(); ++index) {
        EXPECT_NEAR(Dot(ToVec3(joined.normals[index]), ToVec3(whole.normals[index])), 1.0, 1e-5);
    }

    // A slab whose first plane names a vertex the slab below did not make is refused, not joined
    // to whatever vertex comes first.
    ASSERT_TRUE(MarchIsoSurfaceSlabs(volume, 1, {{0, 9}, {9, layers}}, slabs));
    ASSERT_FALSE(slabs[1].bottom.empty());
    slabs[1].bottom.back().first += 1000000;
    EXPECT_FALSE(IsoSurfaceJoin(slabs, 1).Into(joined));
    EXPECT_TRUE(joined.triangles.empty());
    EXPECT_TRUE(joined.positions.empty());
}

} // namespace
