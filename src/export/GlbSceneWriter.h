#pragma once

#include "export/ExportScene.h"
#include "model/Status.h"

#include <string>

// Writes the scene as binary glTF: one node per scene node, one mesh primitive per triangle set
// with its own material (base colour, not metallic, fully rough), per-vertex colours as COLOR_0.
// The file is written beside the target and renamed over it.
// The glTF bytes of the scene: binary (.glb), or JSON text with the buffer embedded (.gltf).
// Empty when the encoder fails.
std::string EncodeGltfScene(const ExportScene& scene, const std::string& generator, bool binary);

Status WriteGlbScene(const ExportScene& scene, const std::string& path,
                     const std::string& generator);
