#pragma once

#include "base/Matrix4.h"
#include "export/CapturedImage.h"
#include "ui/Platform.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QColor>
#include <QString>
#include <QStringList>

struct ArrowModels;
struct Case;
class CaseEditor;
class CaseSession;
class Platform;
class QWidget;
class ViewState;
class BodyParametersDialog;
class AdjustTrajectoryDialog;
class AlignWoundsDialog;
class ConfirmDeleteDialog;
class NewTrajectoryDialog;
class NewElementDialog;
class PropertiesDialog;
class CaseInfoDialog;

// The commands that work on the case: they open its dialogs, read and write its files, show the
// summary and export the image, the report and the scene, with the checks and follow-up steps
// around them. The command set's actions call them; every command ends by asking the view to
// redraw where it should.
class CaseCommands {
public:
    // `redraw` draws one frame of the view; `capture` returns the displayed pixels of the view.
    // The report and the scene export draw the trajectories with `arrows`.
    CaseCommands(CaseEditor& editor, ViewState& view, const ArrowModels& arrows, Platform& platform,
                 QWidget* owner, std::function<void()> redraw,
                 std::function<std::optional<CapturedImage>()> capture);
    ~CaseCommands();

    void NewTrajectory(); // N
    // "New trajectory" opened on two points placed on the body (metres, at rest) and the parts
    // they lie on; true when the user made the trajectory, false when the dialog was cancelled or
    // the table is full.
    bool NewTrajectoryFromPoints(const Vec3& in, const Vec3& out, const std::string& inPart,
                                 const std::string& outPart);
    void NewElement(); // File > New Element
    // File > New case (Ctrl+N): once unsaved changes may be set aside, an empty case on the
    // body the program started with, with no file of its own and a new undo history.
    void NewCase();
    void OpenDataFile(); // Ctrl+D
    void OpenBodyFile(); // Ctrl+B
    // File > Open CT series...: a folder chooser, then OpenCtSeriesFolder.
    void OpenCtSeries();
    // Makes a CT series of the folder the case's body, as one edit (Undo brings the previous
    // body back): the series chosen when the folder holds several, read behind the progress
    // window. A folder without a readable series is reported, a cancel is not; both leave the
    // case as it was. True when the body is now the scan's.
    bool OpenCtSeriesFolder(const QString& folder);
    // File > Carry to posable body...: the case measured on a CT body becomes, as one edit (Undo
    // brings the CT case back), the same measurements carried to the body the program started
    // with, scaled to the CT body's length. The carried case has no file of its own, so that
    // saving it never writes over the CT case. A case whose body is not a scan is refused with a
    // message. True when the case was carried.
    bool CarryToPosable();
    bool SaveDataFile(); // Alt+D; true when the case was saved
    // File > Save (Ctrl+S): writes the case's own file in place, or asks for one as "Save data
    // file" does when it has none. True when the case was saved.
    bool Save();
    void SaveImage();        // Alt+I
    void ExportReport();     // File > Export report...
    void ExportScene();      // File > Export scene...
    void CaseInformation();  // File > Case information...
    void BodyParameters();   // B
    void AdjustTrajectory(); // A
    void DeleteSelected();   // Del, context menu "Delete"
    void DataSummary();      // D
    void ChangeColor();      // context menu "Change color"
    void Properties();       // context menu "Properties"
    void DeleteAll();        // Edit > Delete all trajectories and elements
    void AlignWounds();      // Body > Align wounds...

    // Edit > Edit trajectory... (Ctrl+E, a double click on a trajectory): "New trajectory" opened
    // as "Edit trajectory" on the active trajectory.
    void EditTrajectory();

    // A file named on the command line or dropped on the main window: a body model (".obj",
    // ".ply", ".stl", ".glb", ".gltf", ".off") replaces the body as "Open body file..." does, a
    // ".txt" is read as a data file, a folder is read as a CT series (OpenCtSeriesFolder).
    // Unknown kinds are reported.
    void OpenDocument(const QString& path);
    // A data file from the recent-files list, read into the case as "Open data file" does.
    void OpenRecentDataFile(const QString& path);

    // The guard of the unsaved case: asked before a command sets unsaved changes aside, and told
    // of files saved and read. Without one, nothing is asked.
    void SetSession(CaseSession* value) { session = value; }

    // The folder the file commands start from and return to (the program's start directory);
    // tests point it at a folder of their own.
    void SetStartDirectory(const QString& folder) { startDirectory = folder; }

    // The dialog objects, created with the view and reused for every opening.
    BodyParametersDialog& GetBodyDialog();
    AdjustTrajectoryDialog& GetAdjustDialog();
    ConfirmDeleteDialog& GetConfirmDialog();
    NewTrajectoryDialog& GetTrajectoryDialog();
    NewElementDialog& GetElementDialog();
    PropertiesDialog& GetPropertiesDialog();
    CaseInfoDialog& GetCaseInfoDialog();

    // The case's own file: the data file it was read from whole into an empty case or in place
    // of the case, or last saved to ("" before any, and after New case); adding another file's
    // contents leaves it. Who is told when it changes.
    const QString& GetDataFile() const { return lastDataFile; }
    void SetDataFileListener(std::function<void()> listener) {
        dataFileListener = std::move(listener);
    }
    AlignWoundsDialog& GetAlignDialog();

private:
    // Reads a data file into the case as one edit. True when it was read.
    bool AppendDataFile(const QString& path);
    // Reads a data file in place of the case, on the body the program started with; a file that
    // cannot be read leaves the case as it was. True when it was read.
    bool ReplaceWithDataFile(const QString& path);
    // True when `path` names the case's own file.
    bool IsCaseFile(const QString& path) const;
    // Puts `fresh` in place of the case and starts its history again.
    void Renew(const Case& fresh);
    // True when a trajectory is selected; otherwise says what to do first, under `title`.
    bool TrajectoryChosen(const QString& title);
    // Asks the session whether unsaved changes may be set aside.
    bool MaySetAside();
    // Loads a body model as "Open body file..." does: progress window, scales back to 1 and the
    // Body parameters sliders back to the middle. A model that cannot be read changes nothing.
    void ReplaceBody(const QString& path);
    // Reads a data file into the case. Into a case that holds trajectories or elements, the file
    // is added to them or put in place of the case, as the user answers; the case's own file is
    // never added again, only read in place of the case (reloaded) when the user asks for that.
    void ReadCase(const QString& path);
    // The request with a folder that exists: its own, or else the start directory. The first time
    // a folder is found missing the user is told so; with `offerToCreate` the user is asked
    // instead whether to create it, and the chooser starts in it when created.
    FileChooserRequest InExistingFolder(FileChooserRequest request, bool offerToCreate);
    // Puts the process's current directory back to the start directory, whatever folder a
    // chooser left it in, so relative paths resolve as before.
    void RestoreStartDirectory();

    // The case's own file: the report names it while the case is what it holds.
    QString lastDataFile;
    void SetDataFile(const QString& path);
    CaseEditor& editor;
    ViewState& view;
    const ArrowModels& arrows;
    Platform& platform;
    QWidget* owner;
    std::function<void()> redraw;
    std::function<std::optional<CapturedImage>()> capture;
    CaseSession* session = nullptr;
    QString startDirectory;
    QStringList foldersReported; // missing folders the user has been told about
    // The case the program started with, without trajectories, elements, case information or
    // world: what New case and a file read in place of the case start from.
    std::unique_ptr<const Case> freshCase;
    // The colour the New trajectory and New element dialogs propose; a choice in either changes
    // it.
    QColor proposedColor = Qt::white;
    std::unique_ptr<BodyParametersDialog> bodyDialog;
    std::unique_ptr<AdjustTrajectoryDialog> adjustDialog;
    std::unique_ptr<ConfirmDeleteDialog> confirmDialog;
    std::unique_ptr<NewTrajectoryDialog> trajectoryDialog;
    std::unique_ptr<NewElementDialog> elementDialog;
    std::unique_ptr<PropertiesDialog> propertiesDialog;
    std::unique_ptr<CaseInfoDialog> caseInfoDialog;
    std::function<void()> dataFileListener;
    std::unique_ptr<AlignWoundsDialog> alignDialog;
};
