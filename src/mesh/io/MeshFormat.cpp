#include "mesh/io/MeshFormat.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

std::string LowerExtension(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return {};
    }
    std::string extension(path.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// "OFF", "COFF", "NOFF", "STOFF", "4OFF", ... followed by white space.
bool LooksLikeOff(std::string_view head) {
    std::size_t i = 0;
    while (i < head.size() && std::strchr("STCN4n", head[i]) != nullptr && i < 4) {
        ++i;
    }
    if (head.substr(i, 3) != "OFF") {
        return false;
    }
    return i + 3 < head.size() && std::isspace(static_cast<unsigned char>(head[i + 3]));
}

// An ASCII STL starts with "solid" and holds a "facet" soon after; binary files whose header
// happens to start with "solid" are told apart by their exact length first.
bool LooksLikeAsciiStl(std::string_view head) {
    return StartsWith(head, "solid") &&
           (head.size() == 5 || std::isspace(static_cast<unsigned char>(head[5]))) &&
           (head.find("facet") != std::string_view::npos ||
            head.find("endsolid") != std::string_view::npos);
}

bool IsBinaryStlLength(std::string_view head, uint64_t fileSize) {
    if (head.size() < 84 || fileSize < 84) {
        return false;
    }
    uint32_t count = 0;
    std::memcpy(&count, head.data() + 80, 4); // little-endian on every machine we build for
    return fileSize == 84 + 50 * uint64_t{count};
}

} // namespace

MeshFormat MeshFormatFromExtension(std::string_view path) {
    const std::string extension = LowerExtension(path);
    if (extension == ".obj") {
        return MeshFormat::Obj;
    }
    if (extension == ".ply") {
        return MeshFormat::Ply;
    }
    if (extension == ".stl") {
        return MeshFormat::Stl;
    }
    if (extension == ".gltf") {
        return MeshFormat::Gltf;
    }
    if (extension == ".glb") {
        return MeshFormat::Glb;
    }
    if (extension == ".off") {
        return MeshFormat::Off;
    }
    return MeshFormat::Unknown;
}

MeshFormat MeshFormatFromContent(std::string_view head, uint64_t fileSize) {
    if (StartsWith(head, "ply\n") || StartsWith(head, "ply\r\n")) {
        return MeshFormat::Ply;
    }
    if (StartsWith(head, "glTF")) {
        return MeshFormat::Glb;
    }
    if (IsBinaryStlLength(head, fileSize)) {
        return MeshFormat::Stl;
    }
    if (LooksLikeAsciiStl(head)) {
        return MeshFormat::Stl;
    }
    if (LooksLikeOff(head)) {
        return MeshFormat::Off;
    }
    return MeshFormat::Unknown;
}

MeshFormat DetectMeshFormat(std::string_view path, std::string_view content) {
    const MeshFormat byContent = MeshFormatFromContent(content.substr(0, 1024), content.size());
    return byContent != MeshFormat::Unknown ? byContent : MeshFormatFromExtension(path);
}

const std::vector<std::string>& SupportedMeshExtensions() {
    static const std::vector<std::string> extensions = {".obj", ".ply",  ".stl",
                                                        ".glb", ".gltf", ".off"};
    return extensions;
}

bool HasMeshExtension(std::string_view path) {
    return MeshFormatFromExtension(path) != MeshFormat::Unknown;
}
