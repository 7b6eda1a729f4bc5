#include "export/SceneExport.h"

#include "base/AppInfo.h"
#include "export/GlbSceneWriter.h"
#include "export/ObjSceneWriter.h"
#include "export/SceneExportBuilder.h"

#include <algorithm>
#include <cctype>

namespace {

bool EndsWithNoCase(const std::string& path, const std::string& extension) {
    return path.size() >= extension.size() &&
           std::equal(extension.rbegin(), extension.rend(), path.rbegin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

bool IsSceneExportPath(const std::string& path) {
    return EndsWithNoCase(path, ".glb") || EndsWithNoCase(path, ".obj");
}

Status ExportSceneFile(const PosedCase& posed, const ArrowModels& arrows, const std::string& path,
                       bool withUncertaintyCones, bool withSceneModel) {
    const std::string generator = GetAppInfo().title + " " + GetAppInfo().version;
    const auto scene = [&] {
        return BuildExportScene(posed, arrows, withUncertaintyCones, withSceneModel);
    };
    if (EndsWithNoCase(path, ".glb")) {
        return WriteGlbScene(scene(), path, generator);
    }
    if (EndsWithNoCase(path, ".obj")) {
        return WriteObjScene(scene(), path, generator);
    }
    return Status::Failure("Cannot export the scene to \"" + path +
                           "\": the name must end in .glb or .obj.");
}
