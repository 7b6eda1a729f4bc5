#include "support/ObjTestText.h"
#include "support/RecordedDiagnostics.h"

#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"
#include "mesh/MeshValidation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <set>

namespace {

std::unique_ptr<Mesh> Read(const std::string& text) {
    ObjReadResult result = ReadObjText(text);
    EXPECT_TRUE(result.mesh) << result.error;
    return std::move(result.mesh);
}

std::array<float, 3> Normal(const Mesh& mesh, uint32_t index) {
    const Vec3f& n = mesh.normals.at(index);
    return {n.x, n.y, n.z};
}

std::array<float, 3> FacetNormal(const Mesh& mesh, std::size_t triangle) {
    const Vec3f& n = mesh.facetNormals.at(triangle);
    return {n.x, n.y, n.z};
}

const std::string kCube = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
                          "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

} // namespace

TEST(MeshNormals, TheCubeKeepsItsCreasesAt90Degrees) {
    const auto mesh = Read(kCube);
    ASSERT_EQ(mesh->triangles.size(), 12u);
    ComputeFacetNormals(*mesh);
    ComputeVertexNormals(*mesh, 90.0f);
    // Each corner gets its own face's normal: per vertex one average (its own face) and one
    // normal for each triangle of the other two faces.
    for (std::size_t t = 0; t < 12; ++t) {
        for (int corner = 0; corner < 3; ++corner) {
            EXPECT_EQ(Normal(*mesh, mesh->triangles[t].normal[corner]), FacetNormal(*mesh, t))
                << t << " " << corner;
        }
    }
    EXPECT_TRUE(Validate(*mesh)) << Validate(*mesh).message();
    EXPECT_EQ(FacetNormal(*mesh, 0), (std::array<float, 3>{0, 0, -1}));
}

TEST(MeshNormals, NeighboursWithin90DegreesShareOneAveragedNormal) {
    // Two triangles hinged on the edge 1-2, their facet normals 60 degrees apart.
    const float c = std::cos(60.0f * std::numbers::pi_v<float> / 180.0f),
                s = std::sin(60.0f * std::numbers::pi_v<float> / 180);
    const std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 " + std::to_string(-c) + " " +
                             std::to_string(s) + "\nf 1 2 3\nf 2 1 4\n";
    auto mesh = Read(text);
    ComputeFacetNormals(*mesh);
    ComputeVertexNormals(*mesh, 90.0f);
    const MeshTriangle& a = mesh->triangles[0];
    const MeshTriangle& b = mesh->triangles[1];
    EXPECT_EQ(a.normal[0], b.normal[1]); // vertex 1
    EXPECT_EQ(a.normal[1], b.normal[0]); // vertex 2
    EXPECT_EQ(mesh->normals.size(), 4u);
    const std::array<float, 3> shared = Normal(*mesh, a.normal[0]);
    EXPECT_NEAR(shared[0], 0.0f, 1e-6);
    EXPECT_NEAR(std::hypot(shared[1], shared[2]), 1.0f, 1e-6);
    EXPECT_NEAR(std::atan2(shared[1], shared[2]), 30.0f * std::numbers::pi_v<float> / 180, 1e-4);

    // With a crease angle below 60 the reference is the last triangle using the vertex: the
    // second triangle keeps the first entry (its own normal), the first gets its facet normal.
    ComputeVertexNormals(*mesh, 45.0f);
    EXPECT_EQ(mesh->normals.size(), 6u);
    EXPECT_EQ(Normal(*mesh, mesh->triangles[1].normal[0]), FacetNormal(*mesh, 1));
    EXPECT_EQ(Normal(*mesh, mesh->triangles[0].normal[1]), FacetNormal(*mesh, 0));
}

TEST(MeshNormals, DegenerateAndUnusedVerticesGiveNoNaN) {
    auto mesh = Read("v 0 0 0\nv 1 0 0\nv 2 0 0\nv 7 7 7\nv 0 1 0\nf 1 2 3\nf 1 2\n"
                     "f 1 2 5\nf 2 1 5\n");
    ComputeFacetNormals(*mesh);
    EXPECT_EQ(FacetNormal(*mesh, 0), (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(FacetNormal(*mesh, 1), (std::array<float, 3>{0, 0, 0}));
    {
        const RecordedDiagnostics recorded;
        ComputeVertexNormals(*mesh, 180.0f); // opposite faces average to nothing
        EXPECT_EQ(recorded.Lines(), "glmVertexNormals(): vertex w/o a triangle\n");
    }
    std::set<uint32_t> used;
    for (const MeshTriangle& triangle : mesh->triangles) {
        for (const uint32_t normal : triangle.normal) {
            ASSERT_LT(normal, mesh->normals.size());
            used.insert(normal);
        }
    }
    for (const Vec3f& normal : mesh->normals) {
        EXPECT_FALSE(std::isnan(normal.x) || std::isnan(normal.y) || std::isnan(normal.z));
    }
    // Corners 1 and 2 of "f 1 2" (vertex 2 twice) each have a normal of their own.
    EXPECT_EQ(used.size(), mesh->normals.size());
}

TEST(MeshNormals, TrianglesNamingNoVertexLeaveTheMeshAlone) {
    // A strip long enough to be checked on several cores; the bad triangle sits late in it.
    std::string strip;
    constexpr int kColumns = 12000;
    for (int x = 0; x <= kColumns; ++x) {
        strip += "v " + std::to_string(x) + " 0 0\nv " + std::to_string(x) + " 1 0\n";
    }
    for (int x = 0; x < kColumns; ++x) {
        const int a = 2 * x + 1;
        strip += "f " + std::to_string(a) + " " + std::to_string(a + 2) + " " +
                 std::to_string(a + 3) + " " + std::to_string(a + 1) + "\n";
    }
    // None, just past the last vertex, and beyond it.
    for (const uint32_t bad : {kNoIndex, uint32_t{2 * kColumns + 2}, uint32_t{2 * kColumns + 3}}) {
        auto mesh = Read(strip);
        ComputeFacetNormals(*mesh);
        mesh->triangles[mesh->triangles.size() - 7].position[1] = bad;
        const std::vector<Vec3f> normals = mesh->normals;
        const std::vector<MeshTriangle> triangles = mesh->triangles;
        ComputeVertexNormals(*mesh, 90.0f);
        EXPECT_EQ(mesh->normals, normals) << bad;
        EXPECT_EQ(mesh->triangles.back().normal[0], triangles.back().normal[0]) << bad;
    }
    auto shortOfPositions = Read(strip);
    shortOfPositions->positions.resize(9);
    ComputeVertexNormals(*shortOfPositions, 90.0f);
    EXPECT_TRUE(shortOfPositions->normals.empty());
}

TEST(MeshNormals, ScalingNormalsCompounds) {
    auto mesh = Read(kCube);
    ComputeFacetNormals(*mesh);
    ComputeVertexNormals(*mesh, 90.0f);
    const std::vector<Vec3f> before = mesh->normals;
    const uint64_t revision = mesh->revision;
    ScaleNormals(*mesh, 1.1f);
    ScaleNormals(*mesh, 0.9f);
    EXPECT_NE(mesh->revision, revision);
    ASSERT_EQ(mesh->normals.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(mesh->normals[i][axis], before[i][axis] * 0.99f, 1e-6);
        }
    }
}

TEST(MeshFitting, CentresAndScalesByTheSumOfMagnitudes) {
    auto mesh = Read("v 1 0 0\nv 3 1 0\nv 2 0.5 1\nf 1 2 3\n");
    const std::array<float, 6> box = mesh->box;
    const uint64_t revision = mesh->revision;
    EXPECT_FLOAT_EQ(FitToUnitBox(*mesh), 0.5f);
    EXPECT_EQ(mesh->fitSize, (std::array<double, 3>{4, 1, 1}));
    EXPECT_FLOAT_EQ(mesh->positions[0].x, -0.5f);
    EXPECT_FLOAT_EQ(mesh->positions[1].x, 0.5f);
    EXPECT_FLOAT_EQ(mesh->positions[1].y, 0.25f);
    EXPECT_EQ(mesh->box, box); // the boxes stay in file coordinates
    EXPECT_NE(mesh->revision, revision);
}

TEST(MeshFitting, NothingToFitIsLeftAlone) {
    Mesh empty;
    EXPECT_EQ(FitToUnitBox(empty), 0.0f);
    auto point = Read("v 0 0 0\nv 0 0 0\nf 1 2\n");
    const std::vector<Vec3f> positions = point->positions;
    EXPECT_EQ(FitToUnitBox(*point), 0.0f);
    EXPECT_EQ(point->positions, positions);
    auto infinite = Read("v 1e39 0 0\nv 0 1 0\nf 1 2\n");
    EXPECT_EQ(FitToUnitBox(*infinite), 0.0f);
}

// An extent of 1e-45 once gave the factor 2 / 1e-45, infinite, and every fitted coordinate became
// infinite or NaN; such a mesh is left as it is and the fit is refused as too small.
TEST(MeshFitting, ASubnormalExtentIsNotScaledToInfinity) {
    auto tiny = Read("v 0 0 0\nv 1e-45 0 0\nv 0 1e-45 0\nf 1 2 3\n");
    const std::vector<Vec3f> positions = tiny->positions;
    ASSERT_GT(tiny->positions[1].x, 0.0f);
    EXPECT_EQ(MeasureFit(*tiny).refusal, MeshFit::Refusal::TooSmall);
    EXPECT_EQ(FitToUnitBox(*tiny), 0.0f);
    EXPECT_EQ(tiny->positions, positions);
    // A subnormal extent whose factor is still finite is fitted.
    auto small = Read("v 0 0 0\nv 1e-38 0 0\nv 0 1e-38 0\nf 1 2 3\n");
    EXPECT_EQ(MeasureFit(*small).refusal, MeshFit::Refusal::None);
    EXPECT_GT(FitToUnitBox(*small), 0.0f);
    for (const Vec3f& p : small->positions) {
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_TRUE(std::isfinite(p[axis]));
            EXPECT_LE(std::fabs(p[axis]), 1.0f);
        }
    }
}

TEST(MeshFitting, LaterNaNsAreSkippedWhereverTheVerticesAreCut) {
    // Enough vertices to be measured on several cores; a NaN first in the later half, and the
    // widest vertex after it.
    constexpr std::size_t kVertices = 40000;
    const auto make = [](float middle) {
        Mesh mesh;
        mesh.positions.assign(kVertices, Vec3f{1.0f, 1.0f, 1.0f});
        mesh.positions[kVertices / 2].x = middle;
        mesh.positions[kVertices - 1].x = 9.0f;
        return mesh;
    };
    Mesh withNaN = make(std::numeric_limits<float>::quiet_NaN());
    Mesh plain = make(1.0f);
    const float scale = FitToUnitBox(plain);
    EXPECT_FLOAT_EQ(scale, 0.2f);
    EXPECT_EQ(FitToUnitBox(withNaN), scale);
    EXPECT_EQ(withNaN.fitSize, plain.fitSize);
    EXPECT_EQ(withNaN.positions[kVertices - 1].x, plain.positions[kVertices - 1].x);

    Mesh firstNaN = make(1.0f);
    firstNaN.positions[0].x = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(FitToUnitBox(firstNaN), 0.0f); // a NaN first spoils the measure, as ever
}
