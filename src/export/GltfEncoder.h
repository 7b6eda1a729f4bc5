#pragma once

#include "export/ExportScene.h"

#include <string>

// The glTF bytes of the scene: binary (.glb), or JSON text with the buffer embedded (.gltf); one
// node per scene node, one mesh primitive per triangle set with its own material (base colour, not
// metallic, fully rough), per-vertex colours as COLOR_0. Empty when the encoder fails.
std::string EncodeWithTinyGltf(const ExportScene& scene, const std::string& generator, bool binary);
