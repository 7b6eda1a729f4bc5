#include "ui/CaseCommands.h"

#include "case/Case.h"
#include "casefile/DataSummary.h"
#include "edit/CaseEditor.h"
#include "export/JpegWriter.h"
#include "ui/AdjustTrajectoryDialog.h"
#include "ui/AlignWoundsDialog.h"
#include "ui/BodyParametersDialog.h"
#include "ui/CaseInfoDialog.h"
#include "ui/CaseSession.h"
#include "ui/ConfirmDeleteDialog.h"
#include "ui/CtSeriesCommands.h"
#include "ui/DataSummaryDialog.h"
#include "ui/DialogInput.h"
#include "ui/FileCommands.h"
#include "ui/NewElementDialog.h"
#include "ui/NewTrajectoryDialog.h"
#include "ui/Platform.h"
#include "ui/PropertiesDialog.h"
#include "ui/ReportExport.h"
#include "view/ViewState.h"
#include "world/CarryToPosableBody.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The case without what the user entered into it: its body, as it stands, is kept.
Case WithoutEntries(Case theCase) {
    theCase.trajectories.clear();
    theCase.elements.clear();
    theCase.info = CaseInfo();
    theCase.world = CaseWorld();
    return theCase;
}

// "1 trajectory", "2 elements", "no elements".
QString Counted(int count, const char* one, const char* many) {
    return count == 0   ? QStringLiteral("no %1").arg(many)
           : count == 1 ? QStringLiteral("1 %1").arg(one)
                        : QStringLiteral("%1 %2").arg(count).arg(many);
}

} // namespace

void CaseCommands::RestoreStartDirectory() {
    QDir::setCurrent(startDirectory);
}

FileChooserRequest CaseCommands::InExistingFolder(FileChooserRequest request, bool offerToCreate) {
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

CaseCommands::CaseCommands(CaseEditor& theEditor, ViewState& theView, const ArrowModels& theArrows,
                           Platform& thePlatform, QWidget* theOwner,
                           std::function<void()> theRedraw,
                           std::function<std::optional<CapturedImage>()> theCapture)
    : editor(theEditor), view(theView), arrows(theArrows), platform(thePlatform), owner(theOwner),
      redraw(std::move(theRedraw)), capture(std::move(theCapture)),
      startDirectory(StartDirectory()),
      freshCase(std::make_unique<const Case>(WithoutEntries(theEditor.GetCase()))) {
    if (!this->redraw) {
        this->redraw = [] {};
    }
    // The dialogs' live previews (sliders) go through the editor, whose listeners draw them; the
    // colour chooser, which covers the view, asks for a frame once it is closed.
    const std::function<void()> draw = [&theEditor] { theEditor.Preview(); };
    bodyDialog = std::make_unique<BodyParametersDialog>(theEditor, thePlatform, theOwner);
    adjustDialog = std::make_unique<AdjustTrajectoryDialog>(theEditor, theView, theOwner);
    confirmDialog = std::make_unique<ConfirmDeleteDialog>(theEditor, theView, theOwner);
    trajectoryDialog = std::make_unique<NewTrajectoryDialog>(theEditor, thePlatform, proposedColor,
                                                             draw, theOwner);
    elementDialog =
        std::make_unique<NewElementDialog>(theEditor, thePlatform, proposedColor, draw, theOwner);
    propertiesDialog = std::make_unique<PropertiesDialog>(theEditor, theView, theOwner);
    caseInfoDialog = std::make_unique<CaseInfoDialog>(theEditor, thePlatform, theOwner);
    alignDialog = std::make_unique<AlignWoundsDialog>(theEditor, theView, theOwner);
}

CaseCommands::~CaseCommands() = default;

BodyParametersDialog& CaseCommands::GetBodyDialog() {
    return *bodyDialog;
}
AdjustTrajectoryDialog& CaseCommands::GetAdjustDialog() {
    return *adjustDialog;
}
ConfirmDeleteDialog& CaseCommands::GetConfirmDialog() {
    return *confirmDialog;
}
NewTrajectoryDialog& CaseCommands::GetTrajectoryDialog() {
    return *trajectoryDialog;
}
NewElementDialog& CaseCommands::GetElementDialog() {
    return *elementDialog;
}
PropertiesDialog& CaseCommands::GetPropertiesDialog() {
    return *propertiesDialog;
}
CaseInfoDialog& CaseCommands::GetCaseInfoDialog() {
    return *caseInfoDialog;
}

void CaseCommands::SetDataFile(const QString& path) {
    lastDataFile = path;
    if (dataFileListener) {
        dataFileListener();
    }
}

void CaseCommands::CaseInformation() {
    caseInfoDialog->exec();
    redraw();
}

AlignWoundsDialog& CaseCommands::GetAlignDialog() {
    return *alignDialog;
}

void CaseCommands::NewTrajectory() {
    if (editor.GetCase().TrajectoryCount() >= Case::kMaxTrajectories) {
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

bool CaseCommands::NewTrajectoryFromPoints(const Vec3& in, const Vec3& out,
                                           const std::string& inPart, const std::string& outPart) {
    if (editor.GetCase().TrajectoryCount() >= Case::kMaxTrajectories) {
        NewTrajectory(); // says why nothing opens
        return false;
    }
    trajectoryDialog->SetInitialPoints(in, out, inPart, outPart);
    NewTrajectory();
    return trajectoryDialog->GetCreatedNumber() != 0;
}

void CaseCommands::NewElement() {
    if (editor.GetCase().ElementCount() >= Case::kMaxElements) {
        platform.ShowMessage(owner,
                             QString("The case already holds %1 elements; no more can be added.")
                                 .arg(Case::kMaxElements),
                             "New element");
        return;
    }
    elementDialog->exec();
    redraw();
}

bool CaseCommands::MaySetAside() {
    return session == nullptr || session->MaySetAside();
}

void CaseCommands::OpenDataFile() {
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

void CaseCommands::NewCase() {
    if (!MaySetAside()) {
        return;
    }
    Renew(*freshCase);
    SetDataFile(QString());
    redraw();
}

void CaseCommands::Renew(const Case& fresh) {
    editor.Replace(fresh);
    if (session != nullptr) {
        session->Renewed();
    }
    bodyDialog->SetSavedScaleX(50);
    bodyDialog->SetSavedScaleZ(50);
}

bool CaseCommands::Save() {
    if (lastDataFile.isEmpty()) {
        return SaveDataFile();
    }
    // The same safe replacement as "Save data file": a failed write leaves the file as it was.
    const QString path = lastDataFile;
    if (!WriteDataFile(editor.GetCase(), platform, owner, path)) {
        return false;
    }
    if (session != nullptr) {
        session->Saved(path);
    }
    return true;
}

bool CaseCommands::SaveDataFile() {
    const QString chosen = platform.ChooseSaveFile(
        owner, InExistingFolder(SaveCaseRequest(lastDataFile, startDirectory), true));
    bool saved = false;
    if (!chosen.isEmpty()) {
        const QString path = WithExtension(chosen, ".txt");
        saved = WriteDataFile(editor.GetCase(), platform, owner, path);
        if (saved) {
            SetDataFile(path);
        }
        if (saved && session != nullptr) {
            session->Saved(path);
        }
    }
    RestoreStartDirectory();
    return saved;
}

bool CaseCommands::IsCaseFile(const QString& path) const {
    return !lastDataFile.isEmpty() && QFileInfo(path) == QFileInfo(lastDataFile);
}

void CaseCommands::ReadCase(const QString& path) {
    const Case& theCase = editor.GetCase();
    // Nothing to add to, or no file to add (reported when read): nothing to ask.
    if ((theCase.TrajectoryCount() == 0 && theCase.ElementCount() == 0) ||
        !QFileInfo(path).isFile()) {
        AppendDataFile(path);
        return;
    }
    const QString name = QFileInfo(path).fileName();
    if (IsCaseFile(path)) {
        // Added again, the file would hold every trajectory and element twice.
        const QString text = QString("%1 is the file this case was read from or saved to: "
                                     "adding it again would hold each of its trajectories and "
                                     "elements twice.\nReload the case from the file instead?")
                                 .arg(name);
        if (platform.AskChoice(owner, text, "Open data", {"Reload", "Cancel"}) == 0) {
            ReplaceWithDataFile(path);
        }
        return;
    }
    const QString text =
        QString("The case holds %1 and %2.\nAdd the trajectories and elements of %3 to them, or "
                "replace the case with the file?")
            .arg(Counted(theCase.TrajectoryCount(), "trajectory", "trajectories"),
                 Counted(theCase.ElementCount(), "element", "elements"), name);
    switch (platform.AskChoice(owner, text, "Open data", {"Add", "Replace", "Cancel"})) {
    case 0:
        AppendDataFile(path);
        break;
    case 1:
        ReplaceWithDataFile(path);
        break;
    default:
        break;
    }
}

void CaseCommands::ExportReport() {
    const QString chosen = platform.ChooseSaveFile(
        owner, InExistingFolder(ExportReportRequest(startDirectory), false));
    RestoreStartDirectory();
    if (chosen.isEmpty()) {
        return; // cancelled: nothing is written
    }
    ::ExportReport(editor.GetPosed(), arrows, view, platform, owner, chosen,
                   SavedCaseFile(editor.GetCase(), lastDataFile));
    redraw();
}

void CaseCommands::OpenBodyFile() {
    if (!MaySetAside()) {
        return;
    }
    const QString path =
        platform.ChooseOpenFile(owner, InExistingFolder(OpenBodyRequest(startDirectory), false));
    if (!path.isEmpty()) {
        ReplaceBody(path);
    }
}

void CaseCommands::OpenCtSeries() {
    if (!MaySetAside()) {
        return;
    }
    const QString folder = platform.ChooseOpenFile(
        owner, InExistingFolder(OpenCtSeriesRequest(startDirectory), false));
    RestoreStartDirectory();
    if (!folder.isEmpty()) {
        OpenCtSeriesFolder(folder);
    }
}

bool CaseCommands::OpenCtSeriesFolder(const QString& folder) {
    std::string seriesUid;
    if (!ChooseCtSeries(platform, owner, folder, seriesUid)) {
        return false;
    }
    Case read = editor.GetCase();
    if (!OpenCtSeriesWithProgress(read, platform, owner, folder, seriesUid)) {
        return false;
    }
    // The trajectories and elements stay, as with a body model opened over them.
    editor.EditCase("Open CT series", [&read](Case& edited) {
        edited.body = read.body;
        edited.ct = read.ct;
    });
    bodyDialog->SetSavedScaleX(50);
    bodyDialog->SetSavedScaleZ(50);
    redraw();
    return true;
}

bool CaseCommands::CarryToPosable() {
    const QString title = QStringLiteral("Carry to posable body");
    const Case& theCase = editor.GetCase();
    if (!theCase.ct.IsCtBody()) {
        platform.ShowMessage(owner,
                             QStringLiteral("The case's body is not a CT series: its points stand "
                                            "on a posable body already."),
                             title);
        return false;
    }
    if (freshCase->ct.IsCtBody()) {
        platform.ShowMessage(owner,
                             QStringLiteral("The program was started on a CT body: there is no "
                                            "posable body to carry the case to."),
                             title);
        return false;
    }
    Case carried;
    if (const Status done =
            CarryToPosableBody(theCase, freshCase->body, freshCase->bodyModelFile, carried);
        !done) {
        platform.ShowMessage(owner, QString::fromStdString(done.message()), title);
        return false;
    }
    editor.EditCase("Carry to posable body", [&carried](Case& edited) { edited = carried; });
    SetDataFile(QString());
    bodyDialog->SetSavedScaleX(50);
    bodyDialog->SetSavedScaleZ(50);
    redraw();
    return true;
}

bool CaseCommands::AppendDataFile(const QString& path) {
    const Case& theCase = editor.GetCase();
    const bool empty = theCase.TrajectoryCount() == 0 && theCase.ElementCount() == 0;
    const bool fresh = session != nullptr && !session->IsModified() && empty;
    bool read = false;
    bool leftSomethingOut = false;
    editor.EditCase("Open data file", [this, &path, &read, &leftSomethingOut](Case& edited) {
        read = ReadDataFile(edited, platform, owner, path, &leftSomethingOut);
    });
    if (!read) {
        return false;
    }
    // Read whole into an empty case, the file is the case's own; a file read in part is not, so
    // that saving in place never writes the part over the whole.
    const bool whole = empty && !leftSomethingOut;
    if (session != nullptr) {
        session->Opened(path, fresh && whole);
    }
    if (whole) {
        SetDataFile(path);
    }
    return true;
}

bool CaseCommands::ReplaceWithDataFile(const QString& path) {
    Case replacement = *freshCase;
    bool leftSomethingOut = false;
    if (!ReadDataFile(replacement, platform, owner, path, &leftSomethingOut)) {
        return false; // reported; the case stays as it was
    }
    Renew(replacement);
    if (session != nullptr) {
        session->Opened(path);
    }
    SetDataFile(leftSomethingOut ? QString() : path);
    return true;
}

void CaseCommands::OpenRecentDataFile(const QString& path) {
    if (!MaySetAside()) {
        return;
    }
    ReadCase(path);
    RestoreStartDirectory();
    redraw();
}

void CaseCommands::ReplaceBody(const QString& path) {
    bool loaded = false;
    editor.EditCase("Open body file", [this, &path, &loaded](Case& edited) {
        loaded = LoadBodyFile(edited, platform, owner, path);
        if (loaded) {
            edited.body.SetScaleX(1);
            edited.body.SetScaleZ(1);
        }
    });
    if (!loaded) {
        return;
    }
    bodyDialog->SetSavedScaleX(50);
    bodyDialog->SetSavedScaleZ(50);
    redraw();
}

void CaseCommands::OpenDocument(const QString& path) {
    const bool folder = QFileInfo(path).isDir();
    const bool known = folder || IsBodyModelPath(path) || HasExtensionNoCase(path, ".txt");
    if (known && !MaySetAside()) {
        return;
    }
    if (folder) {
        OpenCtSeriesFolder(path);
    } else if (IsBodyModelPath(path)) {
        ReplaceBody(path);
    } else if (HasExtensionNoCase(path, ".txt")) {
        ReadCase(path);
        redraw();
    } else {
        platform.ShowMessage(owner,
                             "Cannot open " + path + ": only body models (" +
                                 BodyModelExtensionList() +
                                 "), data files (.txt) and folders of CT series can be opened.",
                             "Open");
    }
}

void CaseCommands::ExportScene() {
    const QString chosen =
        platform.ChooseSaveFile(owner, InExistingFolder(ExportSceneRequest(startDirectory), false));
    if (chosen.isEmpty()) {
        return; // cancelled: nothing is written
    }
    ExportSceneTo(editor.GetPosed(), arrows, view.Switches(), platform, owner, chosen);
}

void CaseCommands::SaveImage() {
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

void CaseCommands::BodyParameters() {
    bodyDialog->exec();
    redraw();
}

bool CaseCommands::TrajectoryChosen(const QString& title) {
    if (editor.GetCase().TrajectoryCount() == 0) {
        platform.ShowMessage(owner, "Create a trajectory first", title);
        return false;
    }
    if (view.GetSelectedTrajectoryNumber() == 0) {
        platform.ShowMessage(
            owner, "Select a trajectory first, by left clicking on an arrow or element.", title);
        return false;
    }
    return true;
}

void CaseCommands::AdjustTrajectory() {
    if (!TrajectoryChosen("Adjust trajectory")) {
        return;
    }
    adjustDialog->exec();
    redraw();
}

void CaseCommands::EditTrajectory() {
    if (!TrajectoryChosen("Edit trajectory")) {
        return;
    }
    trajectoryDialog->ExecEdit(view.GetSelectedTrajectoryNumber());
    redraw();
}

void CaseCommands::DeleteSelected() {
    const Case& theCase = editor.GetCase();
    if (theCase.TrajectoryCount() == 0 && theCase.ElementCount() == 0) {
        return;
    }
    if (view.GetSelectedTrajectoryNumber() == 0 && view.GetSelectedElementNumber() == 0) {
        platform.ShowMessage(owner, "No trajectory or element selected.",
                             "Delete trajectory/element");
        return;
    }
    confirmDialog->exec();
    redraw();
}

void CaseCommands::DataSummary() {
    DataSummaryDialog dialog(owner);
    dialog.SetSummaryText(::DataSummary::Build(editor.GetCase())); // the class, not this command
    dialog.exec();
    redraw();
}

void CaseCommands::ChangeColor() {
    const Trajectory* trajectory = view.SelectedTrajectory(editor.GetCase());
    const Element* element =
        trajectory == nullptr ? view.SelectedElement(editor.GetCase()) : nullptr;
    if (trajectory == nullptr && element == nullptr) {
        return;
    }
    const Vec3 shown = trajectory != nullptr ? trajectory->color : element->color;
    const QColor chosen = platform.ChooseColor(owner, ColorFromChannels(shown.x, shown.y, shown.z));
    const Vec3 color = ChannelsOf(chosen);
    if (trajectory != nullptr) {
        editor.EditTrajectory(view.GetSelectedTrajectoryNumber(), "Change color",
                              [&color](Trajectory& edited) { edited.color = color; });
    } else {
        editor.EditElement(view.GetSelectedElementNumber(), "Change color",
                           [&color](Element& edited) { edited.color = color; });
    }
    redraw();
}

void CaseCommands::Properties() {
    propertiesDialog->exec();
    redraw();
}

void CaseCommands::DeleteAll() {
    editor.EditCase("Delete all trajectories and elements", [](Case& edited) {
        edited.trajectories.clear();
        edited.elements.clear();
    });
    redraw();
}

void CaseCommands::AlignWounds() {
    if (editor.GetCase().ct.IsCtBody()) {
        platform.ShowMessage(owner, CtPostureReason(), "Align wounds");
        return;
    }
    const int count = editor.GetCase().TrajectoryCount();
    if (count < 2) {
        platform.ShowMessage(owner,
                             QString("Align wounds needs two trajectories that one bullet made; "
                                     "the case holds %1.")
                                 .arg(count),
                             "Align wounds");
        return;
    }
    alignDialog->exec();
    redraw();
}
