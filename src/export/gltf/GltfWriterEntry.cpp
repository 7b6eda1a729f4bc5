// The entry point of the module that holds the glTF encoder (see export/GltfWriterModule.h).
#include "export/GltfWriterModule.h"
#include "export/gltf/GltfEncoder.h"

extern "C" __attribute__((visibility("default"))) void RuvoEncodeGltf(GltfEncodeCall& call) {
    call.bytes = EncodeWithTinyGltf(call.scene, call.generator, call.binary);
}
