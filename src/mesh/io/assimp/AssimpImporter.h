#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"
#include "mesh/io/ImportProgress.h"
#include "mesh/io/MeshFormat.h"

#include <string>
#include <string_view>

// Reads a glTF (text or binary) or OFF model through Assimp into an empty mesh: every mesh the
// scene's nodes place, with the node transforms applied, triangulated, with per-vertex colours,
// texture coordinates and the materials' diffuse colours where the file has them. A glTF text
// file is read from `path` so that its buffers beside it are found; the others from `bytes`.
Status ImportWithAssimp(MeshFormat format, const std::string& path, std::string_view bytes,
                        Mesh& mesh, ImportProgress& progress);
