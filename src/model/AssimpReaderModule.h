#pragma once

#include "model/ImportProgress.h"
#include "model/Mesh.h"
#include "model/MeshFormat.h"
#include "model/Status.h"

#include <string>
#include <string_view>

// The glTF and OFF reader lives in a module of its own (libruvo_assimp_reader.so beside the
// executable) so that Assimp, a large library, is loaded only when such a model is read. Its
// entry point, exported without C++ name decoration, fills in `result` and the mesh.
struct AssimpReadCall {
    MeshFormat format;
    const std::string& path;
    std::string_view bytes;
    Mesh& mesh;
    ImportProgress& progress;
    Status result = Status::Failure("the reader did not run");
};

using RuvoAssimpReadFunction = void(AssimpReadCall& call);
inline constexpr const char* kAssimpModuleFile = "libruvo_assimp_reader.so";
inline constexpr const char* kAssimpEntryName = "RuvoReadWithAssimp";
