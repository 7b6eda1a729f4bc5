#pragma once

#include "export/ExportScene.h"

#include <string>

// The glTF encoder lives in a module of its own (libruvo_gltf_writer.so beside the executable) so
// that tinygltf and the image library it brings are loaded only when a scene is exported as glTF,
// not by every command at start-up. Its entry point, exported without C++ name decoration, fills
// in `bytes` (empty when the encoder fails).
struct GltfEncodeCall {
    const ExportScene& scene;
    const std::string& generator;
    bool binary;
    std::string bytes;
};

using RuvoGltfEncodeFunction = void(GltfEncodeCall& call);
inline constexpr const char* kGltfModuleFile = "libruvo_gltf_writer.so";
inline constexpr const char* kGltfEntryName = "RuvoEncodeGltf";
