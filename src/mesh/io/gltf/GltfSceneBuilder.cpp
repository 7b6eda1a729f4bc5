#include "mesh/io/gltf/GltfSceneBuilder.h"

#include "mesh/io/MeshBuilder.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <string>

namespace {

constexpr uint64_t kSaturated = uint64_t{1} << 62;

// a * b and a + b for counts from a file, stopping at 2^62 instead of wrapping.
uint64_t Times(uint64_t a, uint64_t b) {
    return a != 0 && b > kSaturated / a ? kSaturated : std::min(kSaturated, a * b);
}

uint64_t Plus(uint64_t a, uint64_t b) {
    return std::min(kSaturated, a + b);
}

std::string Count(uint64_t count, const std::string& noun) {
    return std::to_string(count) + ' ' + noun + (count == 1 ? "" : "s");
}

MeshMaterial MaterialOf(const tinygltf::Material& source) {
    MeshMaterial material;
    material.name = source.name;
    const std::vector<double>& base = source.pbrMetallicRoughness.baseColorFactor;
    if (base.size() == 4) {
        for (std::size_t i = 0; i < 4; ++i) {
            material.diffuse[i] = static_cast<float>(base[i]);
        }
    }
    return material;
}

} // namespace

Status GltfSceneBuilder::PlanMeshes() {
    plans.assign(model.meshes.size(), MeshPlan{});
    const std::vector<uint64_t>& counts = walker.PlacementCounts();
    std::vector<bool> placedMesh(model.meshes.size(), false);
    for (std::size_t n = 0; n < model.nodes.size(); ++n) {
        if (counts[n] > 0 && model.nodes[n].mesh >= 0) {
            placedMesh[static_cast<std::size_t>(model.nodes[n].mesh)] = true;
        }
    }
    for (std::size_t m = 0; m < model.meshes.size(); ++m) {
        if (!placedMesh[m]) {
            continue; // a mesh no node places is neither read nor checked
        }
        MeshPlan& plan = plans[m];
        if (Status status = primitives.PlanMesh(static_cast<int>(m), plan.primitives); !status) {
            return status;
        }
        for (const GltfPrimitiveReader::Plan& primitive : plan.primitives) {
            plan.vertices = Plus(plan.vertices, primitive.vertexCount);
            plan.triangles = Plus(plan.triangles, primitive.triangleCount);
            colors = colors || primitive.colors >= 0;
            texCoords = texCoords || primitive.texCoords >= 0;
        }
    }
    return Status::Ok();
}

// Every placement of a node costs its transform while the scene is walked, and every placement
// of a mesh its vertices and triangles once more.
Status GltfSceneBuilder::CheckCost() {
    const std::vector<uint64_t>& counts = walker.PlacementCounts();
    uint64_t meshPlacements = 0;
    for (std::size_t n = 0; n < model.nodes.size(); ++n) {
        totalPlacements = Plus(totalPlacements, counts[n]);
        if (model.nodes[n].mesh >= 0 && counts[n] > 0) {
            const MeshPlan& plan = plans[static_cast<std::size_t>(model.nodes[n].mesh)];
            meshPlacements = Plus(meshPlacements, counts[n]);
            totalVertices = Plus(totalVertices, Times(counts[n], plan.vertices));
            totalTriangles = Plus(totalTriangles, Times(counts[n], plan.triangles));
        }
    }
    const uint64_t bytes =
        Plus(ImportBudget::MeshBytes(totalVertices, totalTriangles, colors, texCoords),
             Times(totalPlacements, ImportBudget::kBytesPerPlacement));
    if (!budget.Allows(bytes)) {
        const std::string times =
            meshPlacements == 1 ? "once" : std::to_string(meshPlacements) + " times";
        return Status::Failure(budget.TooLarge(
            "the model places its meshes " + times + " (" + Count(totalTriangles, "triangle") +
                ", " + Count(totalPlacements, "node placement") + "), which",
            bytes));
    }
    if (totalVertices > kMaxMeshElements || totalTriangles > kMaxMeshElements) {
        return Status::Failure("the model has more vertices or faces than can be drawn");
    }
    return Status::Ok();
}

Status GltfSceneBuilder::ReadPlacedMeshes() {
    read.assign(model.meshes.size(), {});
    for (std::size_t m = 0; m < plans.size(); ++m) {
        read[m].resize(plans[m].primitives.size());
        for (std::size_t p = 0; p < plans[m].primitives.size(); ++p) {
            if (Status status =
                    primitives.Read(static_cast<int>(m), plans[m].primitives[p], read[m][p]);
                !status) {
                return status;
            }
        }
    }
    return Status::Ok();
}

Status GltfSceneBuilder::Place(MeshBuilder& builder, const GltfNodeWalker::Placement& placement) {
    const tinygltf::Node& node = model.nodes[static_cast<std::size_t>(placement.node)];
    const std::string& meshName = model.meshes[static_cast<std::size_t>(placement.mesh)].name;
    const std::string& name = !node.name.empty() ? node.name : meshName;
    const GltfNodeWalker::Matrix& m = placement.transform;
    for (const GltfPrimitiveReader::Primitive& primitive :
         read[static_cast<std::size_t>(placement.mesh)]) {
        const bool known = primitive.material >= 0 &&
                           static_cast<std::size_t>(primitive.material) < model.materials.size();
        builder.BeginGroup(name.empty() ? "default" : name,
                           known ? static_cast<uint32_t>(primitive.material) + 1 : 0);
        const std::size_t vertices = primitive.positions.size() / 3;
        for (std::size_t v = 0; v < vertices; ++v) {
            const double x = primitive.positions[3 * v], y = primitive.positions[3 * v + 1],
                         z = primitive.positions[3 * v + 2];
            const uint32_t index = nextVertex + static_cast<uint32_t>(v);
            builder.SetVertex(index, static_cast<float>(m[0] * x + m[4] * y + m[8] * z + m[12]),
                              static_cast<float>(m[1] * x + m[5] * y + m[9] * z + m[13]),
                              static_cast<float>(m[2] * x + m[6] * y + m[10] * z + m[14]));
            if (!primitive.colors.empty()) {
                const float* c = &primitive.colors[4 * v];
                builder.SetColor(index, c[0], c[1], c[2], c[3]);
            }
            if (!primitive.texCoords.empty()) {
                // glTF counts v from the top of the image, OpenGL (and OBJ) from the bottom.
                builder.SetTexCoord(index, primitive.texCoords[2 * v],
                                    1.0f - primitive.texCoords[2 * v + 1]);
            }
        }
        for (std::size_t t = 0; t + 2 < primitive.triangles.size(); t += 3) {
            builder.AddTriangle(nextVertex + primitive.triangles[t],
                                nextVertex + primitive.triangles[t + 1],
                                nextVertex + primitive.triangles[t + 2]);
        }
        nextVertex += static_cast<uint32_t>(vertices);
    }
    ++placed;
    if (!progress.Report(0.2 + 0.8 * static_cast<double>(placed) /
                                   static_cast<double>(std::max<uint64_t>(totalPlacements, 1)))) {
        return Status::Failure("cancelled");
    }
    return Status::Ok();
}

Status GltfSceneBuilder::Build(Mesh& mesh) {
    if (Status status = walker.Prepare(); !status) {
        return status;
    }
    if (Status status = PlanMeshes(); !status) {
        return status;
    }
    if (Status status = CheckCost(); !status) {
        return status;
    }
    if (Status status = ReadPlacedMeshes(); !status) {
        return status;
    }
    MeshBuilder builder(mesh);
    builder.Reserve(totalVertices, totalTriangles, colors, texCoords);
    for (const tinygltf::Material& material : model.materials) {
        builder.AddMaterial(MaterialOf(material));
    }
    if (Status status = walker.Walk(
            [&](const GltfNodeWalker::Placement& placement) { return Place(builder, placement); });
        !status) {
        return status;
    }
    return builder.Finish();
}
