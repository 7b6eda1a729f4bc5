#include "mesh/ArrowModels.h"

#include "mesh/MeshNormals.h"
#include "mesh/io/obj/ObjReader.h"

#include <utility>

namespace {

Status LoadArrow(const std::string& path, std::shared_ptr<const Mesh>& target) {
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

Status ArrowModels::Load(const std::string& fullPath, const std::string& halfPath) {
    Status statuses[] = {LoadArrow(fullPath, full), LoadArrow(halfPath, half)};
    for (Status& status : statuses) {
        if (!status) {
            return status;
        }
    }
    return Status::Ok();
}
