#pragma once

#include "base/ModelFolder.h"
#include "base/Status.h"
#include "mesh/io/ImportProgress.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace tinygltf {
class Model;
}

// Parses a glTF file (text or binary) with the glTF library, guarded: a binary file's frame is
// checked first, the JSON is surveyed for depth and size (GltfJsonSurvey), the files it names are
// opened only through the model's folder (GltfFileAccess), images are never decoded, and nothing
// the library throws gets past. The model is then the library's, unchecked beyond that: its
// accessors and nodes are checked by those who read them.
class GltfModelLoader {
public:
    // `folder`: the model's folder, or nothing for a model read from memory.
    static Status Load(std::string_view bytes, bool binary, std::optional<ModelFolder> folder,
                       ImportProgress& progress, tinygltf::Model& model, uint64_t& inputBytes);
};
