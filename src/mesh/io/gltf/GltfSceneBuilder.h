#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"
#include "mesh/io/ImportBudget.h"
#include "mesh/io/ImportProgress.h"
#include "mesh/io/gltf/GltfNodeWalker.h"
#include "mesh/io/gltf/GltfPrimitiveReader.h"

#include <optional>
#include <vector>

class MeshBuilder;

namespace tinygltf {
class Model;
}

// Turns a parsed glTF model into the body mesh: every triangle primitive of every mesh the scene
// places, with the node transforms applied, one group per placed primitive named after its node
// (or its mesh, or "default"), the materials' base colours as their diffuse colours, per-vertex
// colours and texture coordinates where the file has them. The whole cost (every placement
// counted) is checked against the budget before anything is read or allocated.
class GltfSceneBuilder {
public:
    GltfSceneBuilder(const tinygltf::Model& gltfModel, const ImportBudget& importBudget,
                     ImportProgress& importProgress)
        : model(gltfModel), budget(importBudget), progress(importProgress), walker(gltfModel),
          primitives(gltfModel) {}

    Status Build(Mesh& mesh);

private:
    struct MeshPlan {
        std::vector<GltfPrimitiveReader::Plan> primitives;
        uint64_t vertices = 0;
        uint64_t triangles = 0;
    };

    Status PlanMeshes();
    Status CheckCost();
    Status ReadPlacedMeshes();
    Status Place(MeshBuilder& builder, const GltfNodeWalker::Placement& placement);

    const tinygltf::Model& model;
    const ImportBudget& budget;
    ImportProgress& progress;
    GltfNodeWalker walker;
    GltfPrimitiveReader primitives;
    std::vector<MeshPlan> plans;                                   // per mesh
    std::vector<std::vector<GltfPrimitiveReader::Primitive>> read; // per mesh, when placed
    bool colors = false;
    bool texCoords = false;
    uint64_t totalVertices = 0;
    uint64_t totalTriangles = 0;
    uint64_t totalPlacements = 0;
    uint64_t placed = 0;
    uint32_t nextVertex = 0;
};
