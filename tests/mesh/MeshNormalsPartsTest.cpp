#include "support/ObjTestText.h"
#include "support/RecordedDiagnostics.h"

#include "base/Radians.h"
#include "mesh/MeshNormals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

// A bumpy height field of 200 x 200 vertices (big enough to be split across threads), with a
// few unused vertices and some fans, so that some corners are averaged and others keep their facet
// normal.
std::string BumpyGrid() {
    constexpr int kSide = 200;
    std::string text;
    for (int z = 0; z < kSide; ++z) {
        for (int x = 0; x < kSide; ++x) {
            const int height = (x * 7 + z * 13) % 5 == 0 ? 3 : 0;
            text += "v " + std::to_string(x) + " " + std::to_string(height) + " " +
                    std::to_string(z) + "\n";
        }
    }
    text += "v 0 0 0\nv 1 1 1\n"; // used by no triangle
    // Fans whose centres are used by many triangles, some folded beyond the crease angle.
    int next = kSide * kSide + 3;
    for (const int blades : {63, 64, 65, 90}) {
        const int centre = next;
        text += "v 500 0 500\n";
        for (int i = 0; i < blades; ++i) {
            const double turn = 2 * std::numbers::pi * i / blades;
            text += "v " + std::to_string(500 + 10 * std::cos(turn)) + " " +
                    std::to_string(i % 7 == 0 ? 8 : 1) + " " +
                    std::to_string(500 + 10 * std::sin(turn)) + "\n";
        }
        for (int i = 0; i < blades; ++i) {
            text += "f " + std::to_string(centre) + " " + std::to_string(centre + 1 + i) + " " +
                    std::to_string(centre + 1 + (i + 1) % blades) + "\n";
        }
        next += blades + 1;
    }
    for (int z = 0; z + 1 < kSide; ++z) {
        for (int x = 0; x + 1 < kSide; ++x) {
            const int a = z * kSide + x + 1;
            text += "f " + std::to_string(a) + " " + std::to_string(a + kSide) + " " +
                    std::to_string(a + kSide + 1) + " " + std::to_string(a + 1) + "\n";
        }
    }
    return text;
}

// The smoothing as documented, one vertex after the other: each vertex's list runs from the last
// triangle using it to the first; the averaged neighbours share one normal, stored first.
void SmoothSequentially(const Mesh& mesh, float threshold, std::vector<Vec3f>& normals,
                        std::vector<uint32_t>& cornerNormals) {
    std::vector<std::vector<uint32_t>> lists(mesh.positions.size());
    for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
        for (int c = 0; c < 3; ++c) {
            std::vector<uint32_t>& list = lists[mesh.triangles[t].position[c]];
            list.insert(list.begin(), 3 * t + c);
        }
    }
    normals.clear();
    cornerNormals.assign(3 * mesh.triangles.size(), 0);
    const auto facet = [&](uint32_t corner) { return mesh.facetNormals[corner / 3]; };
    for (uint32_t v = 0; v < mesh.positions.size(); ++v) {
        if (lists[v].empty()) {
            continue;
        }
        const Vec3f reference = facet(lists[v].front());
        float sum[3] = {0, 0, 0};
        bool any = false;
        for (uint32_t corner : lists[v]) {
            if (Dot(facet(corner), reference) > threshold) {
                any = true;
                for (int i = 0; i < 3; ++i) {
                    sum[i] += facet(corner)[i];
                }
            }
        }
        uint32_t average = 0;
        if (any) {
            const float length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
            average = static_cast<uint32_t>(normals.size());
            normals.push_back(length > 0 ? Vec3f{sum[0] / length, sum[1] / length, sum[2] / length}
                                         : Vec3f{});
        }
        for (uint32_t corner : lists[v]) {
            if (Dot(facet(corner), reference) > threshold) {
                cornerNormals[corner] = average;
            } else {
                cornerNormals[corner] = static_cast<uint32_t>(normals.size());
                normals.push_back(facet(corner));
            }
        }
    }
}

} // namespace

TEST(MeshNormals, SmoothingSplitAcrossThreadsNumbersNormalsAsOneThreadWould) {
    ObjReadResult read = ReadObjText(BumpyGrid());
    ASSERT_TRUE(read.mesh) << read.error;
    Mesh& mesh = *read.mesh;
    ComputeFacetNormals(mesh);
    for (float angle : {90.0f, 20.0f}) {
        {
            const RecordedDiagnostics recorded;
            ComputeVertexNormals(mesh, angle);
            EXPECT_EQ(recorded.Lines(), "glmVertexNormals(): vertex w/o a triangle\n"
                                        "glmVertexNormals(): vertex w/o a triangle\n");
        }
        std::vector<Vec3f> normals;
        std::vector<uint32_t> cornerNormals;
        SmoothSequentially(mesh, static_cast<float>(std::cos(DegreesToRadians(angle))), normals,
                           cornerNormals);
        ASSERT_EQ(mesh.normals.size(), normals.size());
        EXPECT_EQ(std::memcmp(mesh.normals.data(), normals.data(), normals.size() * sizeof(Vec3f)),
                  0);
        for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(mesh.triangles[t].normal[c], cornerNormals[3 * t + c]) << t;
            }
        }
    }
}

// The count alone must be what the smoothing stores, split across threads or not: the command
// line prints it in place of smoothing. A cube's faces meet at exactly 90 degrees (a dot product
// of exactly 0, which the crease keeps apart), and a degenerate triangle has a zero normal.
TEST(MeshNormals, CountingTheSmoothedNormalsGivesWhatTheSmoothingStores) {
    const std::string cube = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\n"
                             "v 0 1 1\nv 5 5 5\n"
                             "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n"
                             "f 1 1 2\n";
    for (const std::string& text : {BumpyGrid(), cube}) {
        ObjReadResult read = ReadObjText(text);
        ASSERT_TRUE(read.mesh) << read.error;
        Mesh& mesh = *read.mesh;
        for (float angle : {90.0f, 20.0f, 180.0f}) {
            // The count works out the facet normals of the positions as they are, whatever the
            // mesh holds, and changes nothing.
            mesh.facetNormals.assign(mesh.triangles.size(), Vec3f{0, 0, 1});
            const std::size_t fileNormals = mesh.normals.size();
            std::string countDiagnostics;
            std::size_t counted = 0;
            {
                const RecordedDiagnostics recorded;
                counted = CountVertexNormals(mesh, angle).value_or(0);
                countDiagnostics = recorded.Lines();
            }
            EXPECT_EQ(mesh.facetNormals[0].z, 1.0f);
            EXPECT_EQ(mesh.normals.size(), fileNormals);
            ComputeFacetNormals(mesh);
            const RecordedDiagnostics recorded;
            ComputeVertexNormals(mesh, angle);
            EXPECT_EQ(counted, mesh.normals.size()) << angle;
            EXPECT_EQ(countDiagnostics, recorded.Lines());
        }
    }
    // A triangle naming a vertex the mesh lacks: the smoothing makes nothing, and says so.
    Mesh broken;
    broken.positions = {Vec3f{0, 0, 0}, Vec3f{1, 0, 0}, Vec3f{0, 1, 0}};
    broken.triangles.emplace_back().position = {0, 1, 5};
    EXPECT_EQ(CountVertexNormals(broken, 90.0f), std::nullopt);
}
