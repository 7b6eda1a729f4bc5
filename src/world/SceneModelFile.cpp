#include "world/SceneModelFile.h"

#include "base/FileAccess.h"
#include "case/Case.h"
#include "case/SceneModelPath.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/MeshImport.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr float kSceneCreaseAngle = 30.0f; // degrees

// Every failure names the file as the scene model, so that a room that cannot be read is never
// taken for the body.
Status Failure(const std::string& path, const std::string& reason) {
    return Status::Failure("Cannot read the scene model \"" + path + "\": " + reason);
}

Status Read(const std::string& path, std::shared_ptr<const Mesh>& mesh) {
    // A wrong path, the common mistake, in the system's words.
    if (const int error = CheckReadableFile(path)) {
        return Failure(path, FileErrorText(error));
    }
    MeshImportResult result = ImportMesh(path);
    if (!result.mesh) {
        return Failure(path, result.reason.empty() ? "cancelled" : result.reason);
    }
    if (result.mesh->triangles.empty()) {
        return Failure(path, "it holds no triangle");
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
    // A case read from its file holds the whole path already; one that still holds a relative
    // name takes it from the case file's folder as well.
    world.sceneModelFile = SceneModelPathOfFile(world.sceneModelFile, caseFile);
    return Read(world.sceneModelFile, world.sceneMesh);
}

Status ReplaceSceneModel(Case& theCase, const std::string& path) {
    std::shared_ptr<const Mesh> mesh;
    if (Status status = Read(path, mesh); !status.ok()) {
        return status;
    }
    // Held by its whole path, so that the case's files name it from their own folders.
    std::error_code error;
    const std::filesystem::path whole = std::filesystem::absolute(path, error);
    theCase.world.sceneModelFile = error ? path : whole.lexically_normal().string();
    theCase.world.sceneMesh = std::move(mesh);
    return Status::Ok();
}
