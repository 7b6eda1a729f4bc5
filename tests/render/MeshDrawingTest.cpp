#include "render/MeshDrawing.h"
#include "render/HeadlessContext.h"
#include "render/MeshDrawCache.h"
#include "support/RecordedDiagnostics.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// One triangle covering the middle of the framebuffer, facing the viewer, in one group.
Mesh Triangle() {
    Mesh mesh;
    mesh.positions = {{-0.8f, -0.8f, 0}, {0.8f, -0.8f, 0}, {0, 0.8f, 0}};
    MeshTriangle triangle;
    triangle.position = {0, 1, 2};
    mesh.triangles = {triangle};
    MeshGroup group;
    group.triangleIndices = {0};
    mesh.groups = {group};
    mesh.revision = NextMeshRevision();
    return mesh;
}

void AddNormals(Mesh& mesh, float length) {
    mesh.normals = {{0, 0, length}};
    mesh.triangles[0].normal = {0, 0, 0};
    mesh.facetNormals = {{0, 0, 1}};
    mesh.revision = NextMeshRevision();
}

void AddMaterial(Mesh& mesh, float r, float g, float b) {
    mesh.materials.resize(2);
    mesh.materials[1].diffuse = {r, g, b, 1};
    mesh.groups[0].material = 1;
}

std::string WarningsOf(const Mesh& mesh, unsigned mode, MeshDrawCache* cache = nullptr) {
    const RecordedDiagnostics recorded;
    DrawMesh(mesh, mode, 1.0f, 1.0f, cache);
    return recorded.Lines();
}

class MeshDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        context = HeadlessContext::Create(64, 64, error);
        ASSERT_TRUE(context) << error;
    }
    // The red channel at the middle after drawing the mesh lit by the headlight.
    int LitRed(const Mesh& mesh, MeshDrawCache* cache = nullptr) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        DrawMesh(mesh, RENDER_SMOOTH | RENDER_COLOR, 1.0f, 1.0f, cache);
        unsigned char rgba[4] = {0, 0, 0, 0};
        glReadPixels(32, 28, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return rgba[0];
    }

    std::string error;
    std::unique_ptr<HeadlessContext> context;
};

TEST_F(MeshDrawing, ModesTheMeshCannotServeAreDroppedWithAWarningOnEveryCall) {
    Mesh bare = Triangle();
    const std::string smooth =
        "glmDraw() warning: smooth render mode requested with no normals defined.\n";
    const std::string color =
        "glmDraw() warning: color render mode requested with no materials defined.\n";
    EXPECT_EQ(WarningsOf(bare, RENDER_SMOOTH | RENDER_COLOR), smooth + color);
    EXPECT_EQ(WarningsOf(bare, RENDER_SMOOTH | RENDER_COLOR), smooth + color);
    EXPECT_EQ(WarningsOf(bare, RENDER_FLAT | RENDER_TEXTURE | RENDER_MATERIAL),
              "glmDraw() warning: flat render mode requested with no facet normals defined.\n"
              "glmDraw() warning: texture render mode requested with no texture coordinates "
              "defined.\n"
              "glmDraw() warning: material render mode requested with no materials defined.\n");

    Mesh full = Triangle();
    AddNormals(full, 1);
    AddMaterial(full, 1, 0, 0);
    EXPECT_EQ(WarningsOf(full, RENDER_FLAT | RENDER_SMOOTH | RENDER_COLOR | RENDER_MATERIAL),
              "glmDraw() warning: flat render mode requested and smooth render mode requested "
              "(using smooth).\n"
              "glmDraw() warning: color and material render mode requested using only material "
              "mode.\n");
    EXPECT_EQ(ReconcileDrawMode(full, RENDER_FLAT | RENDER_SMOOTH | RENDER_COLOR | RENDER_MATERIAL),
              static_cast<unsigned>(RENDER_SMOOTH | RENDER_MATERIAL));
    EXPECT_EQ(WarningsOf(full, RENDER_SMOOTH | RENDER_COLOR), "");
}

TEST_F(MeshDrawing, ColourModeUsesTheDiffuseColourWithTheGivenAlpha) {
    Mesh mesh = Triangle();
    AddMaterial(mesh, 0.2f, 0.4f, 0.6f);
    DrawMesh(mesh, RENDER_COLOR, 0.25f);
    float colour[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.2f);
    EXPECT_FLOAT_EQ(colour[2], 0.6f);
    EXPECT_FLOAT_EQ(colour[3], 0.25f);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    DrawMesh(mesh, RENDER_MATERIAL, 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
}

TEST_F(MeshDrawing, CachedDrawingFollowsTheMeshRevision) {
    Mesh mesh = Triangle();
    AddNormals(mesh, 0.5f);
    AddMaterial(mesh, 1, 0, 0);
    const int immediate = LitRed(mesh);
    EXPECT_NEAR(immediate, (0.2 + 0.5) * 255, 2);

    MeshDrawCache cache;
    EXPECT_EQ(LitRed(mesh, &cache), immediate);
    EXPECT_EQ(LitRed(mesh, &cache), immediate);
    EXPECT_EQ(cache.ListCount(), 1);
    // Brighter normals with a new revision are drawn at once; the old list is gone.
    mesh.normals[0].z = 0.7f;
    mesh.revision = NextMeshRevision();
    EXPECT_NEAR(LitRed(mesh, &cache), (0.2 + 0.7) * 255, 2);
    EXPECT_EQ(cache.ListCount(), 1);
    // Warnings still come on every call.
    Mesh bare = Triangle();
    EXPECT_NE(WarningsOf(bare, RENDER_SMOOTH, &cache), "");
    EXPECT_NE(WarningsOf(bare, RENDER_SMOOTH, &cache), "");
}

} // namespace
