#include "ui/FileCommands.h"

#include "docs/AppInfo.h"
#include "docs/DataFile.h"
#include "scene/ProgressSink.h"
#include "scene/Universe.h"

#include <QDir>
#include <QFile>

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
    return MakeRequest("Save data", "Txt Files (*.txt) ", " *.txt", startDirectory + "/database");
}

FileChooserRequest OpenBodyRequest(const QString& startDirectory) {
    return MakeRequest("Open body", "Wavefront Files (*.obj) ", " *.obj", startDirectory + "/data");
}

FileChooserRequest SaveImageRequest() {
    FileChooserRequest request =
        MakeRequest("Save image", "Jpeg Files (*.jpg) ", " *.jpg", "../images");
    request.filters.append(FileFilter{"All", "*.*"});
    return request;
}

bool LoadBodyFile(Universe& scene, Platform& platform, QWidget* owner, const QString& path) {
    Status status = Status::Ok();
    {
        const std::unique_ptr<ProgressSink> progress = platform.OpenProgress(owner);
        status = scene.GetBody().LoadWithProgress(LocalPath(path), *progress);
    } // the progress window closes here, before any message
    if (!status.ok()) {
        platform.ShowMessage(owner, QString::fromStdString(status.message()), "Info");
        return false;
    }
    scene.SetBodyModelFile(LocalPath(path));
    return true;
}

bool ReadDataFile(Universe& scene, Platform& platform, QWidget* owner, const QString& path) {
    DataFile file(scene);
    const DataFileReadResult result = file.Read(LocalPath(path));
    if (!result.ok()) {
        platform.ShowMessage(owner, QString::fromStdString(result.status.message()), "Open data");
        return false;
    }
    if (result.LeftSomethingOut()) {
        platform.ShowMessage(owner, QString::fromStdString(result.LeftOutMessage()), "Open data");
    }
    return true;
}

bool WriteDataFile(Universe& scene, Platform& platform, QWidget* owner, const QString& path) {
    DataFile file(scene);
    const Status status = file.Write(LocalPath(path));
    if (!status.ok()) {
        platform.ShowMessage(owner, QString::fromStdString(status.message()), "Save data");
        return false;
    }
    return true;
}
