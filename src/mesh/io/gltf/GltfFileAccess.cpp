#include "mesh/io/gltf/GltfFileAccess.h"

#include "mesh/io/ImportBudget.h"

#include <tiny_gltf.h>

namespace {

GltfFileAccess& Self(void* self) {
    return *static_cast<GltfFileAccess*>(self);
}

} // namespace

tinygltf::FsCallbacks GltfFileAccess::Callbacks() {
    tinygltf::FsCallbacks callbacks{};
    callbacks.FileExists = &GltfFileAccess::Exists;
    callbacks.ExpandFilePath = &GltfFileAccess::Expand;
    callbacks.ReadWholeFile = &GltfFileAccess::Read;
    callbacks.WriteWholeFile = &GltfFileAccess::Write;
    callbacks.user_data = this;
    return callbacks;
}

void GltfFileAccess::Refuse(const std::string& name, const std::string& reason) {
    refusal = "the file \"" + name + "\" the model names cannot be read: " + reason;
}

std::optional<RegularFile> GltfFileAccess::Open(const std::string& name) {
    if (!folder) {
        Refuse(name, "a model read from memory may name no other file");
        return std::nullopt;
    }
    if (name.find('\0') != std::string::npos) {
        Refuse(name.substr(0, name.find('\0')), "its name holds a zero byte");
        return std::nullopt;
    }
    std::string reason;
    std::optional<RegularFile> file = folder->Open(name, reason);
    if (!file) {
        Refuse(name, reason);
    }
    return file;
}

bool GltfFileAccess::Exists(const std::string& name, void* self) {
    return Self(self).Open(name).has_value();
}

// The parser joins each name to the base folder it was given, "." (GltfModelLoader), and tries
// "./" + name; both come back to the name as the model gives it. There is no "~" or variable to
// expand: a name is only ever a path inside the model's folder.
std::string GltfFileAccess::Expand(const std::string& name, void*) {
    return name.starts_with("./") ? name.substr(2) : name;
}

bool GltfFileAccess::Read(std::vector<unsigned char>* out, std::string* error,
                          const std::string& name, void* self) {
    GltfFileAccess& access = Self(self);
    std::optional<RegularFile> file = access.Open(name);
    if (!file) {
        if (error) {
            *error = access.refusal;
        }
        return false;
    }
    if (file->Size() > ImportBudget::kMaxNamedFileBytes - access.bytesRead) {
        access.Refuse(name, "the files the model names are larger than " +
                                std::to_string(ImportBudget::kMaxNamedFileBytes >> 20) + " MB");
        if (error) {
            *error = access.refusal;
        }
        return false;
    }
    out->resize(file->Size());
    if (!file->ReadAt(0, out->size(), reinterpret_cast<char*>(out->data())) || !file->Unchanged()) {
        access.Refuse(name, "it changed or could not be read while it was being read");
        out->clear();
        if (error) {
            *error = access.refusal;
        }
        return false;
    }
    access.bytesRead += out->size();
    return true;
}

bool GltfFileAccess::Write(std::string* error, const std::string&,
                           const std::vector<unsigned char>&, void*) {
    if (error) {
        *error = "a model being read writes no file";
    }
    return false;
}
