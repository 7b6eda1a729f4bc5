#include "export/GlbSceneWriter.h"

#include "base/FileAccess.h"
#include "export/ExportSceneValues.h"
#include "export/GltfEncoder.h"

#include <exception>

std::string EncodeGltfScene(const ExportScene& scene, const std::string& generator, bool binary) {
    if (!CheckExportSceneValues(scene)) {
        return {}; // JSON has no NaN or infinity
    }
    // What the library throws (memory running out, a text its JSON writer refuses) must not end
    // the program, which may hold an unsaved case: the encoding fails and the export says so.
    try {
        return EncodeWithTinyGltf(scene, generator, binary);
    } catch (const std::exception&) {
        return {};
    }
}

Status WriteGlbScene(const ExportScene& scene, const std::string& path,
                     const std::string& generator) {
    if (Status values = CheckExportSceneValues(scene); !values) {
        return Status::Failure("Cannot write the scene \"" + path + "\": " + values.message());
    }
    const std::string bytes = EncodeGltfScene(scene, generator, true);
    if (bytes.empty()) {
        return Status::Failure("The scene could not be encoded as glTF");
    }
    if (const int error = ReplaceFileContents(path, bytes); error != 0) {
        return Status::Failure("Cannot write the scene \"" + path + "\": " + FileErrorText(error));
    }
    return Status::Ok();
}
