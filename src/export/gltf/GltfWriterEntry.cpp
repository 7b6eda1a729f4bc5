// The entry point of the module that holds the glTF encoder (see export/GltfWriterModule.h).
#include "export/GltfWriterModule.h"
#include "export/gltf/GltfEncoder.h"

#include <exception>

// What the library throws (memory running out, a text its JSON writer refuses) must not end the
// program, which may hold an unsaved case: the encoding fails and the export says so.
extern "C" __attribute__((visibility("default"))) void RuvoEncodeGltf(GltfEncodeCall& call) {
    try {
        call.bytes = EncodeWithTinyGltf(call.scene, call.generator, call.binary);
    } catch (const std::exception&) {
        call.bytes.clear();
    }
}
