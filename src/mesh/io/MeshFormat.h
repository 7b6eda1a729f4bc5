#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The model file formats a body can be read from.
enum class MeshFormat { Unknown, Obj, Ply, Stl, Gltf, Glb, Off };

// The format named by the path's extension, whatever the case of its letters.
MeshFormat MeshFormatFromExtension(std::string_view path);

// The format the first bytes prove, or Unknown when they prove nothing (OBJ text has no mark).
// `fileSize` tells a binary STL by its exact length.
MeshFormat MeshFormatFromContent(std::string_view head, uint64_t fileSize);

// The content decides when it is conclusive (a binary STL named ".STL" or ".ply" is read as STL);
// otherwise the extension does.
MeshFormat DetectMeshFormat(std::string_view path, std::string_view content);

// Every extension a body can be read from, lower case with the dot: ".obj", ".ply", ...
const std::vector<std::string>& SupportedMeshExtensions();

// True when the path ends in one of the supported extensions (any case).
bool HasMeshExtension(std::string_view path);
