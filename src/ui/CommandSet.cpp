#include "ui/CommandSet.h"

#include "base/AppInfo.h"
#include "base/ProgramFiles.h"
#include "edit/CaseEditor.h"
#include "ui/AboutDialog.h"
#include "ui/AppIcons.h"
#include "ui/CaseCommands.h"
#include "ui/CaseView.h"
#include "ui/ImageCapture.h"
#include "ui/Platform.h"
#include "ui/PointPicking.h"
#include "ui/ProgramSettings.h"
#include "ui/UncertaintyBudgetDialog.h"
#include "view/ViewState.h"

#include <QAction>
#include <QUndoStack>

#include <utility>

namespace {

// The help file, below the start directory.
const char* const kHelpFile = "doc/index.html";

} // namespace

CommandSet::CommandSet(const CommandTargets& theTargets, WindowCommands theWindowCommands,
                       QWidget* theWindow)
    : QObject(theWindow), targets(theTargets), windowCommands(std::move(theWindowCommands)),
      window(theWindow) {
    AddFileCommands();
    AddEditCommands();
    AddViewCommands();
    AddBodyCommands();
    AddHelpCommands();
    AddContextCommands();
}

CommandSet::~CommandSet() = default;

void CommandSet::Trigger(Command command) const {
    Action(command)->trigger();
}

QAction* CommandSet::Add(Command command, const QString& text, const QKeySequence& shortcut,
                         std::function<void()> handler) {
    // The text after the tab is the shortcut the menu shows; Qt shows it as it is written.
    auto* action = new QAction(text, this);
    action->setShortcut(shortcut);
    // Keys act while any of the program's windows has the keyboard, but never past a modal
    // dialog, so typing in a dialog's field triggers nothing.
    action->setShortcutContext(Qt::ApplicationShortcut);
    connect(action, &QAction::triggered, this, std::move(handler));
    actions[static_cast<size_t>(command)] = action;
    return action;
}

std::function<void()> CommandSet::ViewChange(std::function<void(ViewState&)> change) {
    return [this, change = std::move(change)] {
        change(targets.view);
        targets.caseView.Redraw();
    };
}

void CommandSet::AddFileCommands() {
    CaseCommands& commands = targets.caseCommands;
    // Ctrl+N, the desktop's new-document key, starts a new case (asking first about unsaved
    // changes); Ctrl+S saves the case where it came from.
    Add(Command::NewCase, "New case\tCtrl+N", QKeySequence(Qt::CTRL | Qt::Key_N),
        [&commands] { commands.NewCase(); });
    Add(Command::NewTrajectory, "New trajectory\tN", QKeySequence(Qt::Key_N), [&commands] {
        commands.NewTrajectory();
    })->setIcon(NewTrajectoryIcon());
    Add(Command::NewElement, "New Element", {}, [&commands] { commands.NewElement(); });
    Add(Command::OpenDataFile, "Open data file \tCtrl+D", QKeySequence(Qt::CTRL | Qt::Key_D),
        [&commands] { commands.OpenDataFile(); })
        ->setIcon(OpenDataIcon());
    Add(Command::OpenBodyFile, "&Open body file...\tCtrl+B", QKeySequence(Qt::CTRL | Qt::Key_B),
        [&commands] { commands.OpenBodyFile(); });
    Add(Command::OpenCtSeries, "Open CT series...", {}, [&commands] { commands.OpenCtSeries(); });
    Add(Command::CarryToPosableBody, "Carry to posable body...", {},
        [&commands] { commands.CarryToPosable(); });
    Add(Command::Save, "Save\tCtrl+S", QKeySequence(Qt::CTRL | Qt::Key_S),
        [&commands] { commands.Save(); });
    Add(Command::SaveDataFile, "Save data file \tAlt+D", QKeySequence(Qt::ALT | Qt::Key_D),
        [&commands] { commands.SaveDataFile(); })
        ->setIcon(SaveDataIcon());
    Add(Command::SaveImage, "Save image \tAlt+I", QKeySequence(Qt::ALT | Qt::Key_I),
        [&commands] { commands.SaveImage(); });
    // A saved image leaves the selection box and handles out unless the user asks for them here;
    // the choice is kept in the program's settings.
    QAction* selection =
        Add(Command::SelectionInSavedImage, "Selection in saved image", {}, [this] {
            OpenProgramSettings()->setValue(QString::fromLatin1(kSavedImageSelectionKey),
                                            Action(Command::SelectionInSavedImage)->isChecked());
        });
    selection->setCheckable(true);
    selection->setChecked(
        OpenProgramSettings()->value(QString::fromLatin1(kSavedImageSelectionKey), false).toBool());
    Add(Command::ExportReport, "Export report...", {}, [&commands] { commands.ExportReport(); });
    Add(Command::ExportScene, "Export scene...", {}, [&commands] { commands.ExportScene(); });
    Add(Command::CaseInformation, "Case information...", {},
        [&commands] { commands.CaseInformation(); });
    Add(Command::Exit, "E&xit", {}, [this] { windowCommands.close(); });
}

void CommandSet::AddEditCommands() {
    // "Undo <what>" and "Redo <what>", named after the edit they take back or make again.
    QAction* undo = targets.history.createUndoAction(this, QStringLiteral("Undo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->setShortcutContext(Qt::ApplicationShortcut);
    actions[static_cast<size_t>(Command::Undo)] = undo;
    QAction* redo = targets.history.createRedoAction(this, QStringLiteral("Redo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redo->setShortcutContext(Qt::ApplicationShortcut);
    actions[static_cast<size_t>(Command::Redo)] = redo;

    CaseCommands& commands = targets.caseCommands;
    Add(Command::BodyParameters, "Body parameters\tB", QKeySequence(Qt::Key_B),
        [&commands] { commands.BodyParameters(); });
    Add(Command::AdjustTrajectory, "Adjust active trajectory\tA", QKeySequence(Qt::Key_A),
        [&commands] { commands.AdjustTrajectory(); });
    Add(Command::EditTrajectory, "Edit trajectory...\tCtrl+E", QKeySequence(Qt::CTRL | Qt::Key_E),
        [&commands] { commands.EditTrajectory(); });
    Add(Command::DeleteSelected, "Delete active trajectory or element\tDel",
        QKeySequence(Qt::Key_Delete), [&commands] { commands.DeleteSelected(); });
    Add(Command::DeleteAll, "Delete all trajectories and elements", {},
        [&commands] { commands.DeleteAll(); });
    PointPicking& pointPicking = targets.pointPicking;
    Add(Command::PlacePoints, "Place points\tC", QKeySequence(Qt::Key_C),
        [&pointPicking] { pointPicking.Enter(); });
}

void CommandSet::AddViewCommands() {
    CaseCommands& commands = targets.caseCommands;
    Add(Command::DataSummary, "Data summary\tD", QKeySequence(Qt::Key_D),
        [&commands] { commands.DataSummary(); });
    // The standard views and the lighting steps answer typed characters (the view handles
    // them), so these items carry no key of their own: "F" with Shift or Caps Lock does nothing.
    Add(Command::ViewProfile, "Profile\tP", {}, ViewChange(&ViewState::ViewProfile));
    Add(Command::ViewFront, "Front\tF", {}, ViewChange(&ViewState::ViewFront));
    Add(Command::ViewBack, "Back\tK", {}, ViewChange(&ViewState::ViewBack));
    Add(Command::ViewRight, "Right\tR", {}, ViewChange(&ViewState::ViewRight));
    Add(Command::ViewLeft, "Left\tL", {}, ViewChange(&ViewState::ViewLeft));
    Add(Command::ViewTop, "Top\tT", {}, ViewChange(&ViewState::ViewTop));
    CaseEditor& editor = targets.editor;
    Add(Command::IncreaseLighting, "Increase body lighting\t+", {}, [&editor] {
        editor.EditBody("Increase body lighting", [](Body& body) { body.IncreaseBodyLighting(); });
    });
    Add(Command::DecreaseLighting, "Decrease body lighting\t-", {}, [&editor] {
        editor.EditBody("Decrease body lighting", [](Body& body) { body.DecreaseBodyLighting(); });
    });
    Add(Command::ToggleText, "ToggleText\tE", QKeySequence(Qt::Key_E),
        ViewChange(&ViewState::ToggleText));
    Add(Command::ToggleAxes, "Toggle axes\tX", QKeySequence(Qt::Key_X),
        ViewChange(&ViewState::ToggleAxes));
    Add(Command::ToggleFrontGrid, "Toggle front grid\tG", QKeySequence(Qt::Key_G),
        ViewChange(&ViewState::ToggleFrontGrid));
    Add(Command::ToggleLateralGrid, "Toggle lateral grid\tAlt+G", QKeySequence(Qt::ALT | Qt::Key_G),
        ViewChange(&ViewState::ToggleLateralGrid));
    Add(Command::ToggleBodyTransparency, "Toggle body transparency\tY", QKeySequence(Qt::Key_Y),
        ViewChange(&ViewState::ToggleBodyTransparency));
    QAction* landmarks =
        Add(Command::ShowLandmarks, "Show landmarks\tW", QKeySequence(Qt::Key_W), [this] {
            ViewChange (&ViewState::ToggleLandmarks)();
            Action(Command::ShowLandmarks)->setChecked(targets.view.Switches().landmarks);
        });
    landmarks->setCheckable(true);
    QAction* cones = Add(Command::ShowUncertaintyCones, "Show uncertainty cones\tU",
                         QKeySequence(Qt::Key_U), ViewChange(&ViewState::ToggleUncertaintyCones));
    cones->setCheckable(true);
    cones->setChecked(targets.view.Switches().uncertaintyCones);
    auto* statusBar = new QAction(QStringLiteral("&Status Bar"), this);
    statusBar->setCheckable(true);
    statusBar->setChecked(true);
    connect(statusBar, &QAction::toggled, this,
            [this](bool shown) { windowCommands.showStatusBar(shown); });
    actions[static_cast<size_t>(Command::ShowStatusBar)] = statusBar;
}

void CommandSet::AddBodyCommands() {
    // M shows the posture panel beside the view, and hides it again.
    QAction* posture =
        Add(Command::PosturePanel, "Posture panel\tM", QKeySequence(Qt::Key_M), [this] {
            windowCommands.showPosturePanel(Action(Command::PosturePanel)->isChecked());
        });
    posture->setCheckable(true);
    CaseCommands& commands = targets.caseCommands;
    Add(Command::AlignWounds, "Align wounds...", {}, [&commands] { commands.AlignWounds(); });
    // The budget's sources, previewed on the active trajectory.
    Add(Command::UncertaintyBudget, "Uncertainty budget...\tCtrl+U",
        QKeySequence(Qt::CTRL | Qt::Key_U), [this] {
            UncertaintyBudgetDialog dialog(targets.editor, targets.platform,
                                           targets.view.GetSelectedTrajectoryNumber(), window);
            dialog.exec();
        });
}

void CommandSet::AddHelpCommands() {
    Platform& platform = targets.platform;
    Add(Command::HelpContents, "Contents\tF1", QKeySequence(Qt::Key_F1), [&platform] {
        const std::string& start = GetAppInfo().startDirectory;
        platform.ShellOpen(QString::fromStdString(ProgramFile(start, kHelpFile)),
                           QString::fromStdString(start));
    });
    Add(Command::Website, "Kestrane website", {}, [&platform] {
        platform.ShellOpen(QString::fromStdString(GetAppInfo().website), QString());
    });
    QAction* about = Add(Command::About, "&About Ruvo...", {}, [this] {
        AboutDialog dialog(window);
        dialog.exec();
    });
    about->setStatusTip(QStringLiteral("About the program"));
    about->setIcon(AboutIcon());
}

void CommandSet::AddContextCommands() {
    // Plain menu items: they carry no key, and act only from the view's menus.
    const auto addPlain = [this](Command command, const QString& text,
                                 std::function<void()> handler) {
        auto* action = new QAction(text, this);
        connect(action, &QAction::triggered, this, std::move(handler));
        actions[static_cast<size_t>(command)] = action;
    };
    ViewState& view = targets.view;
    addPlain(Command::ModeMove, "Move",
             [&view] { view.SetManipulationMode(ManipulationMode::Move); });
    addPlain(Command::ModeRotate, "Rotate",
             [&view] { view.SetManipulationMode(ManipulationMode::Rotate); });
    addPlain(Command::ModeSelect, "Select",
             [&view] { view.SetManipulationMode(ManipulationMode::Select); });
    CaseCommands& commands = targets.caseCommands;
    addPlain(Command::ContextDelete, "Delete", [&commands] { commands.DeleteSelected(); });
    addPlain(Command::ChangeColor, "Change color", [&commands] { commands.ChangeColor(); });
    addPlain(Command::Properties, "Properties", [&commands] { commands.Properties(); });
    PointPicking& pointPicking = targets.pointPicking;
    addPlain(Command::ContextPlacePoints, "Place points",
             [&pointPicking] { pointPicking.Enter(); });
}
