#pragma once

#include "base/RegularFile.h"

#include <optional>
#include <string>
#include <string_view>

// A model names other files by paths relative to its own: a glTF file its buffers, an OBJ file its
// material libraries. Those names are data from elsewhere, so they may reach only regular files in
// the model's own folder or below it: never an absolute path, a path that climbs above the folder
// (also through a symbolic link), a device or a FIFO.
class ModelFolder {
public:
    // The folder holding the model file at `modelPath` (the working folder for a bare name).
    static ModelFolder Of(std::string_view modelPath);

    // The path `name` stands for inside the folder ('\\' read as '/', "." and ".." resolved);
    // nothing when it is empty, absolute or climbs out of the folder.
    std::optional<std::string> Resolve(std::string_view name) const;

    // Opens the file `name` stands for. Nothing when it leaves the folder, cannot be opened or is
    // not a regular file; then `reason` says why, for example "it lies outside the model's folder".
    std::optional<RegularFile> Open(std::string_view name, std::string& reason) const;

    const std::string& Path() const { return folder; }

private:
    explicit ModelFolder(std::string path) : folder(std::move(path)) {}
    bool Contains(const std::string& resolved) const;

    std::string folder; // empty for the working folder, otherwise ending in '/'
};
