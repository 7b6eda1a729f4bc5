// The entry point of the module that holds the Assimp reader (see model/AssimpReaderModule.h).
#include "model/AssimpReaderModule.h"
#include "model/assimp/AssimpImporter.h"

extern "C" __attribute__((visibility("default"))) void RuvoReadWithAssimp(AssimpReadCall& call) {
    call.result = ImportWithAssimp(call.format, call.path, call.bytes, call.mesh, call.progress);
}
