#include "export/ObjSceneWriter.h"

#include "base/FileAccess.h"
#include "base/Utf8Text.h"
#include "export/ExportSceneValues.h"

#include <charconv>

namespace {

// The shortest text that reads back as the same float.
void AppendNumber(std::string& out, float value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    out.append(text, error == std::errc() ? end : text);
}

// Material names are single words in a library.
std::string MaterialWord(const std::string& name) {
    std::string word;
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        word += plain ? c : '_';
    }
    return word;
}

// Readers differ on names with blanks (some keep the first word only), so object names are one
// word: "Trajectory 3 (label)" becomes "Trajectory_3_(label)". A label's line break, NUL or other
// unprintable character becomes "_" as well: the name must stay on its line and whole.
std::string ObjectWord(const std::string& name) {
    std::string word;
    for (std::size_t at = 0; at < name.size();) {
        const Utf8Character c = DecodeUtf8At(name, at);
        const std::string_view character = std::string_view(name).substr(at, c.size);
        word += c.value == ' ' || FirstUnprintable(character) ? std::string_view("_") : character;
        at += c.size;
    }
    return word;
}

std::string LibraryPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? path.substr(0, dot) : path) + ".mtl";
}

std::string FileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void AppendTriples(std::string& obj, const char* keyword, const std::vector<float>& values,
                   const std::vector<float>* colors) {
    for (std::size_t v = 0; v < values.size() / 3; ++v) {
        obj += keyword;
        for (int axis = 0; axis < 3; ++axis) {
            obj += ' ';
            AppendNumber(obj, values[3 * v + axis]);
        }
        for (int channel = 0; colors != nullptr && channel < 3; ++channel) {
            obj += ' ';
            AppendNumber(obj, WrittenColorChannel((*colors)[4 * v + channel]));
        }
        obj += '\n';
    }
}

// Vertices and normals are numbered on through the file; `base` and `normalBase` count those
// written before.
void AppendPrimitive(std::string& obj, const ExportPrimitive& primitive, uint64_t& base,
                     uint64_t& normalBase) {
    obj += "usemtl " + MaterialWord(primitive.materialName) + '\n';
    const std::size_t vertexCount = primitive.positions.size() / 3;
    const bool withColors = primitive.colors.size() / 4 == vertexCount;
    const bool withNormals = primitive.normals.size() == primitive.positions.size();
    AppendTriples(obj, "v", primitive.positions, withColors ? &primitive.colors : nullptr);
    if (withNormals) {
        AppendTriples(obj, "vn", primitive.normals, nullptr);
    }
    for (std::size_t t = 0; t + 2 < primitive.indices.size(); t += 3) {
        obj += 'f';
        for (int corner = 0; corner < 3; ++corner) {
            const uint32_t index = primitive.indices[t + corner];
            obj += ' ' + std::to_string(base + index + 1);
            if (withNormals) {
                obj += "//" + std::to_string(normalBase + index + 1);
            }
        }
        obj += '\n';
    }
    base += vertexCount;
    if (withNormals) {
        normalBase += vertexCount;
    }
}

void AppendMaterial(std::string& mtl, const ExportPrimitive& primitive) {
    mtl += "newmtl " + MaterialWord(primitive.materialName) + "\nKd";
    for (int channel = 0; channel < 3; ++channel) {
        mtl += ' ';
        AppendNumber(mtl, WrittenColorChannel(primitive.color[channel]));
    }
    mtl += "\nKa 0 0 0\nKs 0 0 0\nd ";
    AppendNumber(mtl, WrittenColorChannel(primitive.color[3]));
    mtl += "\nillum 1\n\n";
}

// The scene and its library are one output: both replace their files, or neither does.
Status WriteBoth(const std::string& objPath, const std::string& obj, const std::string& mtlPath,
                 const std::string& mtl) {
    const std::vector<FileReplacement> files = {{objPath, obj}, {mtlPath, mtl}};
    std::size_t failed = 0;
    if (const int error = ReplaceFilesTogether(files, &failed); error != 0) {
        return Status::Failure("Cannot write the scene \"" + files[failed].path +
                               "\": " + FileErrorText(error));
    }
    return Status::Ok();
}

} // namespace

Status WriteObjScene(const ExportScene& scene, const std::string& path,
                     const std::string& generator) {
    if (Status values = CheckExportSceneValues(scene); !values) {
        return Status::Failure("Cannot write the scene \"" + path + "\": " + values.message());
    }
    const std::string library = LibraryPath(path);
    std::string header = "# " + generator + "\n# " + kExportFrameNote + "\n";
    std::string obj = header + "mtllib " + FileName(library) + '\n';
    std::string mtl = header + '\n';
    uint64_t base = 0;
    uint64_t normalBase = 0;
    for (const ExportNode& node : scene.nodes) {
        obj += "o " + ObjectWord(node.name) + '\n';
        for (const ExportPrimitive& primitive : node.primitives) {
            AppendPrimitive(obj, primitive, base, normalBase);
            AppendMaterial(mtl, primitive);
        }
    }
    return WriteBoth(path, obj, library, mtl);
}
