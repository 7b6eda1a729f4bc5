// Context creation and the default models it loads.
#include "case/Case.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/obj/ObjReader.h"
#include "view/SceneRenderer.h"

#include <utility>

namespace {

// Arrows are drawn at their modelled size in metres, so they are not fitted.
Status LoadArrow(const std::string& path, std::unique_ptr<Mesh>& target) {
    ObjReadResult result = ReadObj(path);
    if (!result.mesh) {
        return Status::Failure(result.error.empty() ? "Read Obj failed" : std::move(result.error));
    }
    ComputeFacetNormals(*result.mesh);
    ComputeVertexNormals(*result.mesh, 90.0f);
    target = std::move(result.mesh);
    return Status::Ok();
}

} // namespace

Status Case::LoadDefaultModels(const Body::WarningSink& warnings) {
    // Every model is tried, so that one missing file does not hide the others.
    Status statuses[] = {LoadArrow(arrowModelFile, arrowModel),
                         LoadArrow(halfArrowModelFile, halfArrowModel),
                         body->Load(bodyModelFile, warnings)};
    for (Status& status : statuses) {
        if (!status) {
            return status;
        }
    }
    return Status::Ok();
}

int Case::CreateContext(std::string* error) {
    if (!renderer) {
        return -1;
    }
    ViewFront();
    const Status loaded = LoadDefaultModels();
    if (!loaded) {
        if (error) {
            *error = loaded.message();
        }
        return -1;
    }
    if (!renderer->InitializeContext(*this)) {
        if (error) {
            *error = "The OpenGL context could not be set up";
        }
        return -1;
    }
    return 0;
}
