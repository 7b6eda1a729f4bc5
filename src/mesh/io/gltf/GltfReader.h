#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"
#include "mesh/io/ImportProgress.h"

#include <string>
#include <string_view>

// Reads a glTF 2.0 model, text (.gltf) or binary (.glb), into an empty mesh (see
// GltfSceneBuilder for what it keeps). `path` is the model file's own path, whose folder holds
// the buffers a text file names; empty for a model read from memory, which may then use only
// data URIs and a binary file's own BIN chunk. A failure says what is wrong; the mesh is then
// incomplete and must be dropped.
Status ReadGltf(std::string_view bytes, bool binary, const std::string& path, Mesh& mesh,
                ImportProgress& progress);
