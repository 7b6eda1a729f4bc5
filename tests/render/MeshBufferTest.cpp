#include "mesh/MeshNormals.h"
#include "render/HeadlessContext.h"
#include "render/MeshDrawCache.h"
#include "render/MeshDrawing.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 160;

// A sphere of 2 * n * n triangles in two groups with different materials (the upper half drawn
// first: drawing takes the most recently created group first), smooth normals computed as for a
// body.
Mesh Sphere(int n) {
    Mesh mesh;
    for (int i = 0; i <= n; ++i) {
        const double lat = std::numbers::pi * i / n - std::numbers::pi / 2;
        for (int j = 0; j <= n; ++j) {
            const double lon = 2 * std::numbers::pi * j / n;
            mesh.positions.push_back({static_cast<float>(0.8 * std::cos(lat) * std::sin(lon)),
                                      static_cast<float>(0.8 * std::sin(lat)),
                                      static_cast<float>(0.8 * std::cos(lat) * std::cos(lon))});
        }
    }
    mesh.groups.resize(2);
    auto at = [n](int i, int j) { return static_cast<uint32_t>(i * (n + 1) + j); };
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            for (const auto& corners : {std::array{at(i, j), at(i, j + 1), at(i + 1, j + 1)},
                                        std::array{at(i, j), at(i + 1, j + 1), at(i + 1, j)}}) {
                MeshTriangle triangle;
                for (int c = 0; c < 3; ++c) {
                    triangle.position[c] = corners[static_cast<size_t>(c)];
                }
                MeshGroup& group = mesh.groups[i < n / 2 ? 0 : 1];
                group.triangleIndices.push_back(static_cast<uint32_t>(mesh.triangles.size()));
                mesh.triangles.push_back(triangle);
            }
        }
    }
    mesh.materials.resize(3);
    mesh.materials[1].diffuse = {0.9f, 0.7f, 0.6f, 1};
    mesh.materials[2].diffuse = {0.2f, 0.5f, 0.9f, 1};
    mesh.groups[1].material = 1;
    mesh.groups[0].material = 2;
    ComputeFacetNormals(mesh);
    ComputeVertexNormals(mesh, 90);
    mesh.revision = NextMeshRevision();
    return mesh;
}

class MeshBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        context = HeadlessContext::Create(kSize, kSize, error);
        if (!context) {
            GTEST_SKIP() << error;
        }
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    void TearDown() override {
        if (context) {
            cache.Release();
        }
    }

    std::vector<unsigned char> Draw(const Mesh& mesh, float alpha, MeshDrawCache* with) {
        glClearColor(0.85f, 0.85f, 0.85f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotated(30, 1, 0.5, 0);
        DrawMesh(mesh, RENDER_SMOOTH | RENDER_COLOR, alpha, 1.0f, with);
        glFinish();
        std::vector<unsigned char> pixels(kSize * kSize * 4);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    std::unique_ptr<HeadlessContext> context;
    std::string error;
    MeshDrawCache cache;
};

} // namespace

TEST_F(MeshBufferTest, ALargeMeshFromBuffersHasTheImmediatePixels) {
    const Mesh sphere = Sphere(330); // 217,800 triangles
    ASSERT_GE(sphere.triangles.size(), MeshDrawCache::kBufferTriangles);
    for (const float alpha : {1.0f, 0.6f}) {
        const std::vector<unsigned char> immediate = Draw(sphere, alpha, nullptr);
        const std::vector<unsigned char> buffered = Draw(sphere, alpha, &cache);
        EXPECT_EQ(buffered, immediate) << "alpha " << alpha;
        EXPECT_EQ(Draw(sphere, alpha, &cache), immediate) << "drawn again, alpha " << alpha;
    }
    EXPECT_EQ(cache.BufferCount(), 2); // one per alpha, as the lists were
    GLfloat normal[3] = {};
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    // The last group drawn is the one created first.
    const MeshTriangle& last = sphere.triangles[sphere.groups.front().triangleIndices.back()];
    EXPECT_FLOAT_EQ(normal[1], sphere.normals[last.normal[2]].y);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshBufferTest, MeshesBuffersCannotDrawExactlyStayInDisplayLists) {
    Mesh sphere = Sphere(330);
    // A corner without a normal takes the previous corner's in immediate mode: no buffer for that.
    sphere.triangles[1000].normal[1] = kNoIndex;
    sphere.revision = NextMeshRevision();
    const std::vector<unsigned char> immediate = Draw(sphere, 1.0f, nullptr);
    EXPECT_EQ(Draw(sphere, 1.0f, &cache), immediate);
    EXPECT_EQ(cache.BufferCount(), 0);
    EXPECT_EQ(cache.ListCount(), 1);
    EXPECT_FALSE(MeshBuffer::Supports(Sphere(4), RENDER_FLAT | RENDER_COLOR));
}
