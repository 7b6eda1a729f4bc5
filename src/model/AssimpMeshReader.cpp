#include "model/AssimpMeshReader.h"

#include "docs/ModuleLoading.h"
#include "model/AssimpReaderModule.h"

#include <string>
#include <utility>

namespace {

struct LoadedReader {
    RuvoAssimpReadFunction* read = nullptr;
    std::string error;
};

LoadedReader LoadReader() {
    LoadedReader loaded;
    loaded.read = reinterpret_cast<RuvoAssimpReadFunction*>(
        LoadModuleEntry(kAssimpModuleFile, kAssimpEntryName, "glTF and OFF reader", loaded.error));
    return loaded;
}

} // namespace

Status ReadWithAssimp(MeshFormat format, const std::string& path, std::string_view bytes,
                      Mesh& mesh, ImportProgress& progress) {
    static const LoadedReader reader = LoadReader(); // thread-safe, once
    if (reader.read == nullptr) {
        return Status::Failure(reader.error);
    }
    AssimpReadCall call{format, path, bytes, mesh, progress};
    reader.read(call);
    return std::move(call.result);
}
