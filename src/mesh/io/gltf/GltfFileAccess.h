#pragma once

#include "base/ModelFolder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tinygltf {
struct FsCallbacks;
}

// The only way the glTF library reaches files: the buffers a model names (their URIs already
// percent-decoded by the library) are opened through the model's folder, so only regular files
// in that folder or below it are read, never a FIFO, a device or a file outside it. A model read
// from memory has no folder and may name no file at all. The named files may add up to
// ImportBudget::kMaxNamedFileBytes.
class GltfFileAccess {
public:
    // `folder`: the model's folder; nothing for a model read from memory.
    explicit GltfFileAccess(std::optional<ModelFolder> modelFolder)
        : folder(std::move(modelFolder)) {}
    GltfFileAccess(const GltfFileAccess&) = delete;
    GltfFileAccess& operator=(const GltfFileAccess&) = delete;

    // Callbacks for TinyGLTF::SetFsCallbacks; they refer to this object, which must outlive the
    // load.
    tinygltf::FsCallbacks Callbacks();

    // Why the last file the model named was refused, for example "the buffer \"../x.bin\" cannot
    // be read: it lies outside the model's folder"; empty when none was.
    const std::string& Refusal() const { return refusal; }
    // The bytes of every file read so far.
    uint64_t BytesRead() const { return bytesRead; }

private:
    static bool Exists(const std::string& name, void* self);
    static std::string Expand(const std::string& name, void* self);
    static bool Read(std::vector<unsigned char>* out, std::string* error, const std::string& name,
                     void* self);
    static bool Write(std::string* error, const std::string& name,
                      const std::vector<unsigned char>& contents, void* self);

    std::optional<RegularFile> Open(const std::string& name);
    void Refuse(const std::string& name, const std::string& reason);

    std::optional<ModelFolder> folder;
    std::string refusal;
    uint64_t bytesRead = 0;
};
