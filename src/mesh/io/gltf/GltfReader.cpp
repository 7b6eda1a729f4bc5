#include "mesh/io/gltf/GltfReader.h"

#include "mesh/io/ImportBudget.h"
#include "mesh/io/gltf/GltfModelLoader.h"
#include "mesh/io/gltf/GltfSceneBuilder.h"

#include <tiny_gltf.h>

#include <new>

Status ReadGltf(std::string_view bytes, bool binary, const std::string& path, Mesh& mesh,
                ImportProgress& progress) {
    tinygltf::Model model;
    uint64_t inputBytes = bytes.size();
    std::optional<ModelFolder> folder;
    if (!path.empty()) {
        folder = ModelFolder::Of(path);
    }
    if (Status status =
            GltfModelLoader::Load(bytes, binary, std::move(folder), progress, model, inputBytes);
        !status) {
        return status;
    }
    if (!progress.Report(0.2)) {
        return Status::Failure("cancelled");
    }
    const ImportBudget budget(inputBytes);
    try {
        return GltfSceneBuilder(model, budget, progress).Build(mesh);
    } catch (const std::bad_alloc&) {
        // Counts are checked against the budget first; this is the machine running out anyway.
        return Status::Failure("there is not enough memory for the glTF model");
    }
}
