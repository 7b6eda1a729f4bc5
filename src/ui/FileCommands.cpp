#include "ui/FileCommands.h"

#include "base/AppInfo.h"
#include "base/ProgressSink.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "casefile/DataFile.h"
#include "export/SceneExport.h"
#include "mesh/io/MeshFormat.h"
#include "ui/CtSeriesCommands.h"
#include "view/ViewState.h"
#include "world/SceneModelFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <memory>

namespace {

FileChooserRequest MakeRequest(const QString& title, const QString& description,
                               const QString& pattern, const QString& folder) {
    FileChooserRequest request;
    request.title = title;
    request.filters.append(FileFilter{description, pattern});
    request.initialFolder = folder;
    return request;
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString StartDirectory() {
    return QString::fromStdString(GetAppInfo().startDirectory);
}

QString WithExtension(const QString& path, const QString& extension) {
    return path.endsWith(extension, Qt::CaseSensitive) ? path : path + extension;
}

bool HasExtensionNoCase(const QString& path, const QString& extension) {
    return path.endsWith(extension, Qt::CaseInsensitive);
}

FileChooserRequest OpenDataRequest(const QString& startDirectory) {
    return MakeRequest("Open data", "Txt Files (*.txt) ", " *.txt", startDirectory + "/database");
}

FileChooserRequest SaveDataRequest(const QString& startDirectory) {
    FileChooserRequest request =
        MakeRequest("Save data", "Txt Files (*.txt) ", " *.txt", startDirectory + "/database");
    request.savedExtension = ".txt"; // as WithExtension adds it
    return request;
}

FileChooserRequest SaveCaseRequest(const QString& caseFile, const QString& startDirectory) {
    FileChooserRequest request = SaveDataRequest(startDirectory);
    if (!caseFile.isEmpty()) {
        const QFileInfo file(caseFile);
        request.initialFolder = file.absolutePath();
        request.initialName = file.fileName();
        request.replaceWithoutAsking = file.absoluteFilePath();
    }
    return request;
}

namespace {

// " *.obj *.ply ..." for the chooser.
QString BodyModelPatterns() {
    QString patterns;
    for (const std::string& extension : SupportedMeshExtensions()) {
        patterns += " *" + QString::fromStdString(extension);
    }
    return patterns;
}

} // namespace

FileChooserRequest OpenBodyRequest(const QString& startDirectory) {
    // Every format first, so that scans show without changing the filter.
    FileChooserRequest request =
        MakeRequest("Open body", "Body models", BodyModelPatterns(), startDirectory + "/data");
    request.filters.append(FileFilter{"Wavefront Files (*.obj) ", " *.obj"});
    request.filters.append(FileFilter{"Stanford PLY Files", " *.ply"});
    request.filters.append(FileFilter{"STL Files", " *.stl"});
    request.filters.append(FileFilter{"glTF Files", " *.glb *.gltf"});
    request.filters.append(FileFilter{"OFF Files", " *.off"});
    return request;
}

bool IsBodyModelPath(const QString& path) {
    return HasMeshExtension(LocalPath(path));
}

QString BodyModelExtensionList() {
    QStringList extensions;
    for (const std::string& extension : SupportedMeshExtensions()) {
        extensions << QString::fromStdString(extension);
    }
    return extensions.join(", ");
}

FileChooserRequest ExportSceneRequest(const QString& startDirectory) {
    FileChooserRequest request =
        MakeRequest("Export scene", "glTF Binary (*.glb)", " *.glb", startDirectory + "/database");
    request.filters.append(FileFilter{"Wavefront OBJ with materials (*.obj)", " *.obj"});
    return request;
}

bool ExportSceneTo(const PosedCase& posed, const ArrowModels& arrows, const DisplaySwitches& shown,
                   Platform& platform, QWidget* owner, const QString& chosen) {
    const std::string path =
        LocalPath(IsSceneExportPath(LocalPath(chosen)) ? chosen : WithExtension(chosen, ".glb"));
    const Status status = ExportSceneFile(posed, arrows, path, shown.uncertaintyCones, shown.scene);
    if (!status.ok()) {
        platform.ShowMessage(owner, QString::fromStdString(status.message()), "Export scene");
        return false;
    }
    return true;
}

FileChooserRequest SaveImageRequest() {
    FileChooserRequest request =
        MakeRequest("Save image", "Jpeg Files (*.jpg) ", " *.jpg", "../images");
    request.filters.append(FileFilter{"All", "*.*"});
    return request;
}

bool LoadBodyFile(Case& theCase, Platform& platform, QWidget* owner, const QString& path) {
    Status status = Status::Ok();
    bool cancelled = false;
    QStringList warnings;
    {
        const std::unique_ptr<ProgressSink> progress = platform.OpenProgress(owner);
        status = theCase.body.LoadWithProgress(
            LocalPath(path), *progress,
            [&warnings](const std::string& text) { warnings << QString::fromStdString(text); });
        cancelled = !status.ok() && progress->CancelRequested();
    } // the progress window closes here, before any message
    if (cancelled) {
        return false; // the user's choice: the previous body stays, nothing to report
    }
    if (!status.ok()) {
        platform.ShowMessage(owner, QString::fromStdString(status.message()), "Info");
        return false;
    }
    theCase.bodyModelFile = LocalPath(path);
    theCase.ct = CaseCt(); // the body is no longer the scan's skin
    if (!warnings.isEmpty()) {
        platform.ShowMessage(
            owner, "The body model " + path + " was read with warnings:\n" + warnings.join('\n'),
            "Info");
    }
    return true;
}

bool ReadDataFile(Case& theCase, Platform& platform, QWidget* owner, const QString& path,
                  bool* leftSomethingOut) {
    // Read into a copy: a case whose CT series cannot be read is not opened at all.
    Case read = theCase;
    const DataFileReadResult result = DataFile::Read(read, LocalPath(path));
    if (!result.ok()) {
        platform.ShowMessage(owner, QString::fromStdString(result.status.message()), "Open data");
        return false;
    }
    if (!LoadCaseCtBodyWithProgress(read, platform, owner, path)) {
        return false; // reported (or cancelled); the case stays as it was
    }
    theCase = std::move(read);
    if (leftSomethingOut != nullptr) {
        *leftSomethingOut = result.LeftSomethingOut();
    }
    if (result.LeftSomethingOut()) {
        platform.ShowMessage(owner, QString::fromStdString(result.LeftOutMessage()), "Open data");
    }
    // The scene model is read wherever a data file is (opened, appended or recovered), so that
    // no way into the case leaves its room behind.
    if (const Status scene = LoadSceneModel(theCase, LocalPath(path)); !scene.ok()) {
        platform.ShowMessage(owner,
                             QString::fromStdString(scene.message()) +
                                 QStringLiteral(". The case is read without it."),
                             "Open data");
    }
    return true;
}

bool WriteDataFile(const Case& theCase, Platform& platform, QWidget* owner, const QString& path) {
    const Status status = DataFile::Write(theCase, LocalPath(path));
    if (!status.ok()) {
        platform.ShowMessage(owner, QString::fromStdString(status.message()), "Save data");
        return false;
    }
    return true;
}
