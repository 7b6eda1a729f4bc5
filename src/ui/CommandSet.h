#pragma once

#include <QObject>

#include <array>
#include <functional>

class CaseCommands;
class CaseEditor;
class CaseSession;
class CaseView;
class Platform;
class PointPicking;
class QAction;
class QUndoStack;
class QWidget;
class ViewState;

// Every command of the desktop program. The menus, the toolbar, the context menus, the hidden
// accelerators and the view's typed keys all reach a command through its action.
enum class Command {
    // File
    NewCase,
    NewTrajectory,
    NewElement,
    OpenDataFile,
    OpenBodyFile,
    OpenCtSeries,
    CarryToPosableBody,
    Save,
    SaveDataFile,
    SaveImage,
    SelectionInSavedImage,
    ExportReport,
    ExportScene,
    CaseInformation,
    Exit,
    // Edit
    Undo,
    Redo,
    BodyParameters,
    AdjustTrajectory,
    EditTrajectory,
    DeleteSelected,
    DeleteAll,
    PlacePoints,
    // View
    DataSummary,
    ViewProfile,
    ViewFront,
    ViewBack,
    ViewRight,
    ViewLeft,
    ViewTop,
    IncreaseLighting,
    DecreaseLighting,
    ToggleText,
    ToggleAxes,
    ToggleFrontGrid,
    ToggleLateralGrid,
    ToggleBodyTransparency,
    ShowLandmarks,
    ShowUncertaintyCones,
    ShowStatusBar,
    // Body
    PosturePanel,
    AlignWounds,
    UncertaintyBudget,
    // Help
    HelpContents,
    Website,
    About,
    // The view's context menu over a selected object, and its menu over nothing
    ModeMove,
    ModeRotate,
    ModeSelect,
    ContextDelete,
    ChangeColor,
    Properties,
    ContextPlacePoints,
};

// What the command set works on: the case through its editor, what the view shows, the view
// itself, the case's commands, the point picking, the unsaved-case guard and the undo history.
struct CommandTargets {
    CaseEditor& editor;
    ViewState& view;
    CaseView& caseView;
    CaseCommands& caseCommands;
    PointPicking& pointPicking;
    CaseSession& session;
    QUndoStack& history;
    Platform& platform;
};

// Owns one QAction per command, with the text, shortcut and check state the user sees, and runs
// the command when the action is triggered. The main window lays the actions out in its menus
// and toolbar; the window-level commands (Exit, the status bar) are handed in as `windowCommands`.
class CommandSet : public QObject {
    Q_OBJECT

public:
    struct WindowCommands {
        std::function<void()> close;
        std::function<void(bool shown)> showStatusBar;
        std::function<void(bool shown)> showPosturePanel;
    };

    CommandSet(const CommandTargets& targets, WindowCommands windowCommands, QWidget* window);
    ~CommandSet() override;

    QAction* Action(Command command) const { return actions[static_cast<size_t>(command)]; }
    // Runs the command as its action does.
    void Trigger(Command command) const;

private:
    QAction* Add(Command command, const QString& text, const QKeySequence& shortcut,
                 std::function<void()> handler);
    void AddFileCommands();
    void AddEditCommands();
    void AddViewCommands();
    void AddBodyCommands();
    void AddHelpCommands();
    void AddContextCommands();
    // Runs a change of what the view shows, then draws it.
    std::function<void()> ViewChange(std::function<void(ViewState&)> change);

    CommandTargets targets;
    WindowCommands windowCommands;
    QWidget* window;
    std::array<QAction*, static_cast<size_t>(Command::ContextPlacePoints) + 1> actions{};
};
