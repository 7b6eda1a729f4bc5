#include "ui/ViewCommands.h"

#include "case/Case.h"
#include "case/CaseEditor.h"
#include "case/DataSummary.h"
#include "export/JpegWriter.h"
#include "ui/AdjustTrajectoryDialog.h"
#include "ui/BodyMovementsDialog.h"
#include "ui/BodyParametersDialog.h"
#include "ui/CaseSession.h"
#include "ui/ConfirmDeleteDialog.h"
#include "ui/DataSummaryDialog.h"
#include "ui/DialogInput.h"
#include "ui/FileCommands.h"
#include "ui/NewElementDialog.h"
#include "ui/NewTrajectoryDialog.h"
#include "ui/Platform.h"
#include "ui/PropertiesDialog.h"
#include "ui/ReportExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void ViewCommands::RestoreStartDirectory() {
    QDir::setCurrent(startDirectory);
}

FileChooserRequest ViewCommands::InExistingFolder(FileChooserRequest request, bool offerToCreate) {
    const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(request.initialFolder));
    if (QFileInfo(folder).isDir()) {
        return request;
    }
    const QString fallback = QDir::toNativeSeparators(startDirectory);
    const bool firstTime = !foldersReported.contains(folder);
    foldersReported.append(folder);
    if (firstTime && offerToCreate) {
        if (platform.AskYesNo(owner,
                              QString("The folder %1 does not exist.\nCreate it for your data "
                                      "files? Otherwise the file chooser starts in %2.")
                                  .arg(QDir::toNativeSeparators(folder), fallback),
                              request.title)) {
            if (QDir().mkpath(folder)) {
                return request;
            }
            platform.ShowMessage(owner,
                                 QString("The folder %1 could not be created; the file chooser "
                                         "starts in %2.")
                                     .arg(QDir::toNativeSeparators(folder), fallback),
                                 request.title);
        }
    } else if (firstTime) {
        platform.ShowMessage(owner,
                             QString("The folder %1 does not exist; the file chooser starts in %2.")
                                 .arg(QDir::toNativeSeparators(folder), fallback),
                             request.title);
    }
    request.initialFolder = startDirectory;
    return request;
}

ViewCommands::ViewCommands(Case& scene, Platform& platform, QWidget* owner,
                           std::function<void()> redraw,
                           std::function<std::optional<CapturedImage>()> capture)
    : scene(scene), platform(platform), owner(owner), redraw(std::move(redraw)),
      capture(std::move(capture)), startDirectory(StartDirectory()) {
    if (!this->redraw) {
        this->redraw = [] {};
    }
    // The dialogs' live previews (sliders, colour) are announced through the scene, whose
    // listeners draw them.
    const std::function<void()> draw = [&scene] { scene.GetEditor().Preview(); };
    bodyDialog = std::make_unique<BodyParametersDialog>(platform, draw, owner);
    adjustDialog = std::make_unique<AdjustTrajectoryDialog>(draw, owner);
    movementsDialog = std::make_unique<BodyMovementsDialog>(draw, owner);
    confirmDialog = std::make_unique<ConfirmDeleteDialog>(draw, owner);
    trajectoryDialog = std::make_unique<NewTrajectoryDialog>(scene, platform, draw, owner);
    elementDialog = std::make_unique<NewElementDialog>(scene, platform, draw, owner);
    propertiesDialog = std::make_unique<PropertiesDialog>(scene, owner);
}

ViewCommands::~ViewCommands() = default;

BodyParametersDialog& ViewCommands::GetBodyDialog() {
    return *bodyDialog;
}
AdjustTrajectoryDialog& ViewCommands::GetAdjustDialog() {
    return *adjustDialog;
}
BodyMovementsDialog& ViewCommands::GetMovementsDialog() {
    return *movementsDialog;
}
ConfirmDeleteDialog& ViewCommands::GetConfirmDialog() {
    return *confirmDialog;
}
NewTrajectoryDialog& ViewCommands::GetTrajectoryDialog() {
    return *trajectoryDialog;
}
NewElementDialog& ViewCommands::GetElementDialog() {
    return *elementDialog;
}
PropertiesDialog& ViewCommands::GetPropertiesDialog() {
    return *propertiesDialog;
}

void ViewCommands::NewTrajectory() {
    if (scene.GetTrajectoryCount() >= Case::kMaxTrajectories) {
        platform.ShowMessage(
            owner,
            QString("The case already holds %1 trajectories; no more can be added.")
                .arg(Case::kMaxTrajectories),
            "New trajectory");
        return;
    }
    // The dialog adds the trajectory unshifted; a cancelled dialog leaves every older one as it
    // was.
    trajectoryDialog->exec();
    redraw();
}

bool ViewCommands::NewTrajectoryFromPoints(const Vec3& in, const Vec3& out,
                                           std::optional<bool> movesWithArm) {
    if (scene.GetTrajectoryCount() >= Case::kMaxTrajectories) {
        NewTrajectory(); // says why nothing opens
        return false;
    }
    trajectoryDialog->SetInitialPoints(in, out, movesWithArm);
    NewTrajectory();
    return trajectoryDialog->GetCreatedTrajectory() != nullptr;
}

void ViewCommands::NewElement() {
    if (scene.GetElements().GetCount() >= ElementList::kCapacity) {
        platform.ShowMessage(owner,
                             QString("The case already holds %1 elements; no more can be added.")
                                 .arg(ElementList::kCapacity),
                             "New element");
        return;
    }
    elementDialog->exec();
    redraw();
}

bool ViewCommands::MaySetAside() {
    return session == nullptr || session->MaySetAside();
}

void ViewCommands::OpenDataFile() {
    if (!MaySetAside()) {
        return;
    }
    const QString path =
        platform.ChooseOpenFile(owner, InExistingFolder(OpenDataRequest(startDirectory), false));
    if (!path.isEmpty()) {
        ReadCase(path);
    }
    RestoreStartDirectory();
    redraw();
}

bool ViewCommands::SaveDataFile() {
    const QString chosen =
        platform.ChooseSaveFile(owner, InExistingFolder(SaveDataRequest(startDirectory), true));
    bool saved = false;
    if (!chosen.isEmpty()) {
        const QString path = WithExtension(chosen, ".txt");
        saved = WriteDataFile(scene, platform, owner, path);
        if (saved) {
            lastDataFile = path;
        }
        if (saved && session != nullptr) {
            session->Saved(path);
        }
    }
    RestoreStartDirectory();
    return saved;
}

void ViewCommands::ReadCase(const QString& path) {
    if (AppendDataFile(path)) {
        lastDataFile = path;
    }
}

void ViewCommands::ExportReport() {
    const QString chosen = platform.ChooseSaveFile(
        owner, InExistingFolder(ExportReportRequest(startDirectory), false));
    RestoreStartDirectory();
    if (chosen.isEmpty()) {
        return; // cancelled: nothing is written
    }
    ::ExportReport(scene, platform, owner, chosen, SavedCaseFile(scene, lastDataFile));
    redraw();
}

void ViewCommands::OpenBodyFile() {
    if (!MaySetAside()) {
        return;
    }
    const QString path =
        platform.ChooseOpenFile(owner, InExistingFolder(OpenBodyRequest(startDirectory), false));
    if (!path.isEmpty()) {
        ReplaceBody(path);
    }
}

bool ViewCommands::AppendDataFile(const QString& path) {
    const bool fresh = session != nullptr && !session->IsModified() &&
                       scene.GetTrajectoryCount() == 0 && scene.GetElements().GetCount() == 0;
    bool read = false;
    scene.GetEditor().EditCase("Open data file", [this, &path, &read](Case& edited) {
        read = ReadDataFile(edited, platform, owner, path);
    });
    if (read && session != nullptr) {
        session->Opened(path, fresh);
    }
    return read;
}

void ViewCommands::OpenRecentDataFile(const QString& path) {
    if (!MaySetAside()) {
        return;
    }
    AppendDataFile(path);
    RestoreStartDirectory();
    redraw();
}

void ViewCommands::ReplaceBody(const QString& path) {
    bool loaded = false;
    scene.GetEditor().EditCase("Open body file", [this, &path, &loaded](Case& edited) {
        loaded = LoadBodyFile(edited, platform, owner, path);
        if (loaded) {
            edited.GetBody().SetScaleX(1);
            edited.GetBody().SetScaleZ(1);
        }
    });
    if (!loaded) {
        return;
    }
    bodyDialog->SetSavedScaleX(50);
    bodyDialog->SetSavedScaleZ(50);
    redraw();
}

void ViewCommands::OpenDocument(const QString& path) {
    const bool known = IsBodyModelPath(path) || HasExtensionNoCase(path, ".txt");
    if (known && !MaySetAside()) {
        return;
    }
    if (IsBodyModelPath(path)) {
        ReplaceBody(path);
    } else if (HasExtensionNoCase(path, ".txt")) {
        ReadCase(path);
        redraw();
    } else {
        platform.ShowMessage(owner,
                             "Cannot open " + path + ": only body models (" +
                                 BodyModelExtensionList() +
                                 ") and data files (.txt) can be opened.",
                             "Open");
    }
}

void ViewCommands::ExportScene() {
    const QString chosen =
        platform.ChooseSaveFile(owner, InExistingFolder(ExportSceneRequest(startDirectory), false));
    if (chosen.isEmpty()) {
        return; // cancelled: nothing is written
    }
    ExportSceneTo(scene, platform, owner, chosen);
}

void ViewCommands::SaveImage() {
    std::optional<CapturedImage> image = capture ? capture() : std::nullopt;
    if (!image) {
        platform.ShowMessage(owner, "The view could not be captured.", "Save image");
        return;
    }
    const QString chosen =
        platform.ChooseSaveFile(owner, InExistingFolder(SaveImageRequest(), false));
    if (chosen.isEmpty()) {
        return; // cancelled: nothing is written
    }
    const QString path = WithExtension(chosen, ".jpg");
    std::string error;
    if (!WriteJpeg(&*image, 100, QFile::encodeName(path).toStdString(), error)) {
        platform.ShowMessage(owner,
                             "The image could not be saved to " + path + ".\n" +
                                 QString::fromStdString(error),
                             "Save image");
    }
}

void ViewCommands::BodyParameters() {
    bodyDialog->Bind(scene);
    bodyDialog->exec();
    redraw();
}

void ViewCommands::AdjustTrajectory() {
    if (scene.GetTrajectoryCount() == 0) {
        platform.ShowMessage(owner, "Create a trajectory first", "Adjust trajectory");
        return;
    }
    if (scene.GetSelectedTrajectoryNumber() == 0) {
        platform.ShowMessage(owner,
                             "Select a trajectory first, by left clicking on an arrow or element.",
                             "Adjust trajectory");
        return;
    }
    adjustDialog->Bind(scene);
    adjustDialog->exec();
    redraw();
}

void ViewCommands::DeleteSelected() {
    if (scene.GetTrajectoryCount() == 0 && scene.GetElements().GetCount() == 0) {
        return;
    }
    if (scene.GetSelectedTrajectoryNumber() == 0 && scene.GetSelectedElementNumber() == 0) {
        platform.ShowMessage(owner, "No trajectory or element selected.",
                             "Delete trajectory/element");
        return;
    }
    confirmDialog->Bind(scene);
    confirmDialog->exec();
    redraw();
}

void ViewCommands::DataSummary() {
    DataSummaryDialog dialog(owner);
    dialog.SetSummaryText(::DataSummary::Build(scene)); // the class, not this command
    dialog.exec();
    redraw();
}

void ViewCommands::BodyMovements() {
    movementsDialog->Bind(scene);
    movementsDialog->exec();
    redraw();
}

void ViewCommands::ChangeColor() {
    Trajectory* trajectory = scene.GetSelectedTrajectory();
    Element* element = trajectory == nullptr ? scene.GetSelectedElement() : nullptr;
    double red = 0, green = 0, blue = 0;
    if (trajectory != nullptr) {
        red = trajectory->GetRed();
        green = trajectory->GetGreen();
        blue = trajectory->GetBlue();
    } else if (element != nullptr) {
        element->GetColor(red, green, blue);
    } else {
        return;
    }
    const QColor chosen = platform.ChooseColor(owner, ColorFromChannels(red, green, blue));
    red = chosen.red() / 255.0;
    green = chosen.green() / 255.0;
    blue = chosen.blue() / 255.0;
    CaseEditor& editor = scene.GetEditor();
    if (trajectory != nullptr) {
        editor.EditTrajectory(scene.GetSelectedTrajectoryNumber() - 1, "Change color",
                              [&](Trajectory& edited) { edited.SetColor(red, green, blue); });
    } else {
        editor.EditElement(scene.GetSelectedElementNumber() - 1, "Change color",
                           [&](Element& edited) { edited.SetColor(red, green, blue); });
    }
    redraw();
}

void ViewCommands::Properties() {
    propertiesDialog->exec();
    redraw();
}
