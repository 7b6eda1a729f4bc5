#include "mesh/io/gltf/GltfModelLoader.h"

#include "mesh/io/ImportBudget.h"
#include "mesh/io/gltf/GlbLayout.h"
#include "mesh/io/gltf/GltfFileAccess.h"
#include "mesh/io/gltf/GltfJsonSurvey.h"

#include <tiny_gltf.h>

#include <exception>
#include <limits>
#include <new>
#include <string>

namespace {

// The parser looks for a named file under its base folder and under "."; with "." as the base
// both are the same name, which GltfFileAccess resolves in the model's folder.
const char* const kBaseFolder = ".";

// Images give a body nothing: they are left undecoded.
bool SkipImage(tinygltf::Image*, const int, std::string*, std::string*, int, int,
               const unsigned char*, int, void*) {
    return true;
}

// The library's messages end in a line break and may hold several lines: the first one, without
// its full stop, is the reason.
std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '.' || line.back() == ' ' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

void PassOnWarnings(const std::string& warnings, ImportProgress& progress) {
    std::size_t start = 0;
    while (start < warnings.size()) {
        std::size_t end = warnings.find('\n', start);
        if (end == std::string::npos) {
            end = warnings.size();
        }
        if (end > start) {
            progress.Warn(warnings.substr(start, end - start));
        }
        start = end + 1;
    }
}

} // namespace

Status GltfModelLoader::Load(std::string_view bytes, bool binary, std::optional<ModelFolder> folder,
                             ImportProgress& progress, tinygltf::Model& model,
                             uint64_t& inputBytes) {
    std::string_view json = bytes;
    if (binary) {
        GlbLayout layout;
        if (Status status = GlbLayout::Parse(bytes, layout); !status) {
            return status;
        }
        json = layout.json;
    }
    if (bytes.size() > std::numeric_limits<unsigned int>::max()) {
        return Status::Failure("the glTF file is larger than 4 GB");
    }
    if (Status status = GltfJsonSurvey::Check(json, ImportBudget::ForGltfDescription(json.size()));
        !status) {
        return status;
    }
    GltfFileAccess files(std::move(folder));
    tinygltf::TinyGLTF loader;
    loader.SetFsCallbacks(files.Callbacks());
    loader.SetImageLoader(&SkipImage, nullptr);
    std::string error, warnings;
    bool loaded = false;
    try {
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto size = static_cast<unsigned int>(bytes.size());
        loaded =
            binary ? loader.LoadBinaryFromMemory(&model, &error, &warnings, data, size, kBaseFolder)
                   : loader.LoadASCIIFromString(&model, &error, &warnings, bytes.data(), size, "");
    } catch (const std::bad_alloc&) {
        return Status::Failure("there is not enough memory to read the glTF file");
    } catch (const std::exception& failure) {
        return Status::Failure(std::string("the glTF file cannot be parsed: ") + failure.what());
    }
    PassOnWarnings(warnings, progress);
    inputBytes = bytes.size() + files.BytesRead();
    if (!loaded) {
        const bool namedFile = error.find("File not found") != std::string::npos ||
                               error.find("File read error") != std::string::npos;
        if (namedFile && !files.Refusal().empty()) {
            return Status::Failure(files.Refusal());
        }
        const std::string reason = FirstLine(error);
        return Status::Failure(reason.empty() ? "the glTF file cannot be read" : reason);
    }
    return Status::Ok();
}
