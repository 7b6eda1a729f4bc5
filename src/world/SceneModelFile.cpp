#include "world/SceneModelFile.h"

#include "case/Case.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/MeshImport.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr float kSceneCreaseAngle = 30.0f; // degrees

std::string Resolved(const std::string& path, const std::string& caseFile) {
    const std::filesystem::path model(path);
    if (model.is_absolute() || caseFile.empty()) {
        return path;
    }
    const std::filesystem::path beside = std::filesystem::path(caseFile).parent_path() / model;
    std::error_code error;
    return std::filesystem::exists(beside, error) ? beside.string() : path;
}

Status Read(const std::string& path, std::shared_ptr<const Mesh>& mesh) {
    MeshImportResult result = ImportMesh(path);
    if (!result.mesh) {
        return Status::Failure(result.error.empty()
                                   ? "Cannot read the scene model \"" + path + "\": cancelled"
                                   : "Cannot read the scene model: " + result.error);
    }
    if (result.mesh->triangles.empty()) {
        return Status::Failure("Cannot read the scene model \"" + path +
                               "\": it holds no triangle");
    }
    // Smooth normals up to a crease of 30 degrees: a wall's corner stays sharp, a scan's curved
    // car door stays round, and the drawing can keep the mesh in indexed vertex buffers.
    ComputeFacetNormals(*result.mesh);
    ComputeVertexNormals(*result.mesh, kSceneCreaseAngle);
    mesh = std::move(result.mesh);
    return Status::Ok();
}

} // namespace

Status LoadSceneModel(Case& theCase, const std::string& caseFile) {
    CaseWorld& world = theCase.world;
    if (world.sceneModelFile.empty() || world.sceneMesh) {
        return Status::Ok();
    }
    return Read(Resolved(world.sceneModelFile, caseFile), world.sceneMesh);
}

Status ReplaceSceneModel(Case& theCase, const std::string& path) {
    std::shared_ptr<const Mesh> mesh;
    if (Status status = Read(path, mesh); !status.ok()) {
        return status;
    }
    theCase.world.sceneModelFile = path;
    theCase.world.sceneMesh = std::move(mesh);
    return Status::Ok();
}
