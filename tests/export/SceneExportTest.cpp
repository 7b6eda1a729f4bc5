#include "../docs/DocsTestScene.h"

#include "export/SceneExport.h"
#include "export/SceneExportBuilder.h"
#include "scene/Path.h"
#include "scene/TrajectoryPlacement.h"
#include "scene/Universe.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// A case with every kind of object: a resized and stretched body, a full and a half arrow (one
// adjusted, one carried by a raised arm) and an element.
class ExportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scene.LoadDefaultModels());
        scene.GetBody().SetHeight(1.75);
        scene.GetBody().SetScaleX(1.1);
        scene.GetBody().SetScaleZ(0.9);
        Path* shot = scene.AddTrajectory(1);
        shot->SetPoints(0.1, 1.2, 0.3, 0.05, 1.1, 0.0);
        shot->SetColor(1, 0, 0);
        shot->SetText("gun\nshot");
        Path* arm = scene.AddTrajectory(0);
        arm->SetPoints(-0.2, 1.0, 0.1, -0.25, 1.0, 0.05);
        arm->SetDx(0.01);
        arm->SetDPitch(5);
        scene.GetBody().GetArm().SetPitch(60);
        auto element = std::make_unique<VkElement>();
        element->Set(0, 1, 0.1, 30, 0, 0);
        element->SetWidth(0.1);
        element->SetHeight(0.05);
        element->SetLength(0.2);
        ASSERT_TRUE(scene.GetElements().Add(std::move(element)));
    }

    Universe scene;
    TemporaryFolder folder;
};

struct Box {
    double min[3] = {1e30, 1e30, 1e30};
    double max[3] = {-1e30, -1e30, -1e30};
    void Add(double x, double y, double z) {
        const double p[3] = {x, y, z};
        for (int axis = 0; axis < 3; ++axis) {
            min[axis] = std::min(min[axis], p[axis]);
            max[axis] = std::max(max[axis], p[axis]);
        }
    }
};

// Triangles per named node (a node's count includes its children's) and the box of every
// vertex, with the node transforms applied.
void Survey(const aiScene& imported, const aiNode& node, const aiMatrix4x4& parent,
            std::map<std::string, unsigned>& triangles, Box& box, unsigned& below) {
    const aiMatrix4x4 transform = parent * node.mTransformation;
    unsigned count = 0;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        const aiMesh& mesh = *imported.mMeshes[node.mMeshes[i]];
        count += mesh.mNumFaces;
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            const aiVector3D p = transform * mesh.mVertices[v];
            box.Add(p.x, p.y, p.z);
        }
    }
    for (unsigned c = 0; c < node.mNumChildren; ++c) {
        unsigned child = 0;
        Survey(imported, *node.mChildren[c], transform, triangles, box, child);
        count += child;
    }
    triangles[node.mName.C_Str()] += count;
    below = count;
}

} // namespace

TEST_F(ExportFixture, ArrowsArePlacedFromTheirEntryTowardTheirExit) {
    const Path& shot = *scene.GetTrajectory(0);
    // The arm pose is at rest for the first trajectory's frame only when the arm is lowered.
    scene.GetBody().GetArm().SetPitch(90);
    const Matrix4 placement = TrajectoryPlacement(scene, 1);
    const Vec3 tail = placement.TransformPoint({0, 0, 0});
    const Vec3 ahead = placement.TransformPoint({0, 0, -1});
    EXPECT_NEAR(tail.x, 0.1, 1e-6);
    EXPECT_NEAR(tail.y, 1.2, 1e-6);
    EXPECT_NEAR(tail.z, 0.3, 1e-6);
    const double d[3] = {shot.GetX2() - shot.GetX1(), shot.GetY2() - shot.GetY1(),
                         shot.GetZ2() - shot.GetZ1()};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    EXPECT_NEAR(ahead.x - tail.x, d[0] / length, 1e-4);
    EXPECT_NEAR(ahead.y - tail.y, d[1] / length, 1e-4);
    EXPECT_NEAR(ahead.z - tail.z, d[2] / length, 1e-4);
}

TEST_F(ExportFixture, ReimportedScenesKeepEveryNodeItsTrianglesAndTheBox) {
    const ExportScene built = BuildExportScene(scene);
    std::map<std::string, unsigned> expected;
    Box expectedBox;
    for (const ExportNode& node : built.nodes) {
        for (const ExportPrimitive& primitive : node.primitives) {
            expected[node.name] += static_cast<unsigned>(primitive.indices.size() / 3);
            for (std::size_t i = 0; i + 2 < primitive.positions.size(); i += 3) {
                expectedBox.Add(primitive.positions[i], primitive.positions[i + 1],
                                primitive.positions[i + 2]);
            }
        }
    }
    ASSERT_EQ(expected.size(), 4u);
    EXPECT_EQ(expected.count("Trajectory 1 (gun shot)"), 1u);
    EXPECT_EQ(expected.count("Trajectory 2"), 1u);
    EXPECT_EQ(expected.count("Element 1"), 1u);
    EXPECT_EQ(expected["Body"], scene.GetBody().GetModel()->triangleCount);
    // The body as drawn: 1.75 m tall, standing on the floor.
    EXPECT_NEAR(expectedBox.min[1], 0.0, 1e-4);

    for (const char* name : {"scene.glb", "scene.obj"}) {
        SCOPED_TRACE(name);
        const std::string path = folder.File(name);
        ASSERT_TRUE(ExportSceneFile(scene, path));
        Assimp::Importer importer;
        const aiScene* imported = importer.ReadFile(path, 0);
        ASSERT_NE(imported, nullptr) << importer.GetErrorString();
        std::map<std::string, unsigned> triangles;
        Box box;
        unsigned total = 0;
        Survey(*imported, *imported->mRootNode, aiMatrix4x4(), triangles, box, total);
        const bool objNames = std::string(name).ends_with(".obj");
        for (const auto& [node, count] : expected) {
            std::string written = node;
            if (objNames) {
                std::replace(written.begin(), written.end(), ' ', '_');
            }
            EXPECT_EQ(triangles[written], count) << written;
        }
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(box.min[axis], expectedBox.min[axis], 1e-4);
            EXPECT_NEAR(box.max[axis], expectedBox.max[axis], 1e-4);
        }
    }
    EXPECT_FALSE(ExportSceneFile(scene, folder.File("scene.fbx")));
    EXPECT_FALSE(ExportSceneFile(scene, folder.File("missing/scene.glb")));
}
