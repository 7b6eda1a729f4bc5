#pragma once

#include "base/Status.h"
#include "export/ExportScene.h"

#include <string>

// The glTF bytes of the scene: binary (.glb), or JSON text with the buffer embedded (.gltf); one
// node per scene node, one mesh primitive per triangle set with its own material (base colour, not
// metallic, fully rough), per-vertex colours as COLOR_0, colours held within 0 to 1. Empty when
// the encoder fails or the scene holds a number that is not finite.
std::string EncodeGltfScene(const ExportScene& scene, const std::string& generator, bool binary);

// Writes the scene as binary glTF. The file is written beside the target and renamed over it. A
// scene holding a number that is not finite is refused, naming it.
Status WriteGlbScene(const ExportScene& scene, const std::string& path,
                     const std::string& generator);
