#pragma once

#include "ui/CaseView.h"
#include "ui/CommandSet.h"

#include <QMainWindow>

#include <initializer_list>
#include <memory>

struct ArrowModels;
class CaseCommands;
class CaseEditor;
class CaseSession;
class CtSliceDock;
class Platform;
class PointPicking;
class PosturePanel;
class QLabel;
class QTimer;
class QUndoStack;
class ViewState;

// The main window: a fixed title, the menu bar, the toolbar, the status bar with the lock
// indicators, and the one 3-D view of the case. It lays out the command set's actions and opens
// files dropped on it. The case, its editor, the arrows and the view state outlive it.
class SceneCommands;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // `makeRenderer` draws the view; empty for the OpenGL renderer (tests pass their own).
    MainWindow(CaseEditor& editor, ViewState& view, const ArrowModels& arrows, Platform& platform,
               QWidget* parent = nullptr, CaseView::RendererFactory makeRenderer = {});
    ~MainWindow() override;

    CaseView& GetView() { return *caseView; }
    // The commands on the case (dialogs, files, exports) and every action of the window.
    CaseCommands& GetCommands() { return *caseCommands; }
    CommandSet& GetCommandSet() { return *commandSet; }
    // The "Scene" menu's commands: scene model, placement, exterior points, origin zones.
    SceneCommands& GetSceneCommands() { return *sceneCommands; }
    // The "Place points" mode of the view.
    PointPicking& GetPointPicking() { return *pointPicking; }
    // The posture panel beside the view (Body > Posture panel, M).
    PosturePanel& GetPosturePanel() { return *posturePanel; }
    // The CT slices beside the view, shown while the case's body comes from a CT scan.
    CtSliceDock& GetSliceDock() { return *sliceDock; }
    // The undo history of the case: every edit, in order.
    QUndoStack& GetUndoStack() { return *undoStack; }
    // Unsaved changes, the recovery file and the recent files.
    CaseSession& GetSession() { return *session; }
    // The message pane's idle text and the three lock indicators, left to right.
    QLabel& GetMessagePane() { return *messagePane; }
    QLabel& GetIndicator(int index) { return *indicators[index]; }
    // Opens each file as the document, in order, as a drop on the window does: a body model
    // replaces the body, a data file is read into the case.
    void OpenFiles(const QList<QString>& files);
    // Makes the CT series in `folder` the case's body as "Open CT series..." does (the series
    // chosen when the folder holds several, the progress window, one undoable edit): what
    // `ruvo FOLDER` opens at start-up. True when the body is now the scan's.
    bool OpenCtSeriesFolder(const QString& folder);
    // The status bar's note of a CT body ("CT body: ..."), hidden for a body model.
    QLabel& GetBodyNote() { return *bodyNote; }
    // Reads the lock keys again and updates the indicators.
    void UpdateIndicators();

    // The window title: the maker's domain, the product title and the version.
    static QString FrameTitle();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Asks before unsaved changes are left behind; a clean exit removes the recovery file.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The title after a change of the case or of its data file.
    void UpdateTitle();
    // After a change of the case: a CT body turns the posing commands off and says why, and the
    // status bar names its series; a body model turns them back on.
    void UpdateBodyKind();
    void BuildMenus();
    void BuildFileMenu();
    void FillRecentFilesMenu();
    void BuildEditMenu();
    void BuildViewMenu();
    void BuildBodyMenu();
    void BuildPosturePanel();
    void BuildSliceDock(ViewState& view);
    void BuildHelpMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void AddActions(QMenu* menu, std::initializer_list<Command> commands);

    CaseEditor& editor;
    CaseView* caseView;
    QUndoStack* undoStack;
    CaseSession* session;
    PosturePanel* posturePanel;
    CtSliceDock* sliceDock = nullptr;
    std::unique_ptr<CaseCommands> caseCommands;
    int titleListener = 0; // the editor's key for the title's listener
    std::unique_ptr<PointPicking> pointPicking;
    CommandSet* commandSet = nullptr;
    SceneCommands* sceneCommands = nullptr;
    QMenu* recentFilesMenu = nullptr;
    QMenu* viewMenu = nullptr;
    QLabel* messagePane = nullptr;
    QLabel* bodyNote = nullptr;
    bool showingCtBody = false;
    QLabel* indicators[3] = {};
    QTimer* indicatorTimer = nullptr;
};
