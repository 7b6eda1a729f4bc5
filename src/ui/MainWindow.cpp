#include "ui/MainWindow.h"

#include "base/AppInfo.h"
#include "case/Case.h"
#include "case/CaseEditor.h"
#include "ui/AppIcons.h"
#include "ui/CaseSession.h"
#include "ui/CaseView.h"
#include "ui/Document.h"
#include "ui/EditCommand.h"
#include "ui/FocusRestorer.h"
#include "ui/LockKeyState.h"
#include "ui/ViewCommands.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QUrl>

namespace {

const char* const kIndicatorTexts[3] = {"CAP", "NUM", "SCRL"};
constexpr int kIndicatorPollMs = 250;

// The toolbar buttons carry no tool tips; this swallows the ones Qt would make from the texts.
class NoToolTips : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return event->type() == QEvent::ToolTip || QObject::eventFilter(watched, event);
    }
};

QList<QString> LocalFiles(const QMimeData* data) {
    QList<QString> files;
    if (!data) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            files << url.toLocalFile();
        }
    }
    return files;
}

} // namespace

MainWindow::MainWindow(Case& scene, Platform& platform, QWidget* parent,
                       CaseView::RendererFactory makeRenderer)
    : QMainWindow(parent), view(new CaseView(scene, platform, nullptr, std::move(makeRenderer))),
      scene(scene), undoStack(new QUndoStack(this)),
      session(new CaseSession(scene, platform, *undoStack, this)) {
    // The title shows "*" while the case has changes that are not saved, and nothing else.
    setWindowTitle(FrameTitle() + QStringLiteral("[*]"));
    CaseEditor& editor = scene.GetEditor();
    editor.SetRecorder([this, &editor](std::unique_ptr<CaseEdit> edit) {
        undoStack->push(new EditCommand(editor, std::move(edit)));
    });
    connect(undoStack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    setWindowIcon(ApplicationIcon());
    setCentralWidget(view);
    ViewCommands& commands = view->GetCommands();
    commands.SetSession(session);
    session->SetSaveCommand([&commands] { return commands.SaveDataFile(); });
    document = std::make_unique<Document>(commands);
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    setAcceptDrops(true);
    new FocusRestorer(this); // owned by the frame
    move(50, 50);
    resize(800, 600);
    view->setFocus();
}

MainWindow::~MainWindow() {
    // The scene outlives the window; its edits must no longer reach this history, and the
    // history's clearing on destruction is not a return to the saved case.
    scene.GetEditor().SetRecorder({});
    undoStack->blockSignals(true);
}

QString MainWindow::FrameTitle() {
    const AppInfo& info = GetAppInfo();
    return QString::fromStdString(info.domain + " - " + info.title + " " + info.version);
}

QAction* MainWindow::AddItem(QMenu* menu, const QString& text, const QKeySequence& shortcut,
                             const std::function<void()>& handler) {
    // The text after the tab is the shortcut the menu shows; Qt shows it as it is written.
    QAction* action = menu->addAction(text);
    action->setShortcut(shortcut);
    // Keys act while any of the program's windows has the keyboard, but never past a modal
    // dialog, so typing in a dialog's field triggers nothing.
    action->setShortcutContext(Qt::ApplicationShortcut);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void MainWindow::BuildMenus() {
    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildHelpMenu();
    BuildHiddenAccelerators();
}

void MainWindow::BuildFileMenu() {
    ViewCommands& commands = view->GetCommands();
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    newTrajectoryAction = AddItem(file, "New trajectory\tN", QKeySequence(Qt::Key_N),
                                  [&commands] { commands.NewTrajectory(); });
    AddItem(file, "New Element", {}, [&commands] { commands.NewElement(); });
    file->addSeparator();
    openDataAction = AddItem(file, "Open data file \tCtrl+D", QKeySequence(Qt::CTRL | Qt::Key_D),
                             [&commands] { commands.OpenDataFile(); });
    AddItem(file, "&Open body file...\tCtrl+B", QKeySequence(Qt::CTRL | Qt::Key_B),
            [&commands] { commands.OpenBodyFile(); });
    file->addSeparator();
    saveDataAction = AddItem(file, "Save data file \tAlt+D", QKeySequence(Qt::ALT | Qt::Key_D),
                             [&commands] { commands.SaveDataFile(); });
    AddItem(file, "Save image \tAlt+I", QKeySequence(Qt::ALT | Qt::Key_I),
            [&commands] { commands.SaveImage(); });
    AddItem(file, "Export report...", {}, [&commands] { commands.ExportReport(); });
    AddItem(file, "Export scene...", {}, [&commands] { commands.ExportScene(); });
    file->addSeparator();
    recentFilesMenu = file->addMenu(QStringLiteral("Recent data files"));
    recentFilesMenu->setObjectName(QStringLiteral("recentFilesMenu"));
    FillRecentFilesMenu();
    connect(session, &CaseSession::recentFilesChanged, this, &MainWindow::FillRecentFilesMenu);
    file->addSeparator();
    AddItem(file, "E&xit", {}, [this] { close(); });
}

void MainWindow::FillRecentFilesMenu() {
    recentFilesMenu->clear();
    const QStringList entries = session->GetRecentFiles().Entries();
    ViewCommands& commands = view->GetCommands();
    for (int index = 0; index < entries.size(); ++index) {
        const QString path = entries[index];
        const QString text =
            QStringLiteral("&%1 %2").arg(index + 1).arg(QDir::toNativeSeparators(path));
        recentFilesMenu->addAction(text, this,
                                   [&commands, path] { commands.OpenRecentDataFile(path); });
    }
    recentFilesMenu->setEnabled(!entries.isEmpty());
}

void MainWindow::BuildEditMenu() {
    ViewCommands& commands = view->GetCommands();
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    // "Undo <what>" and "Redo <what>", named after the edit they take back or make again.
    QAction* undo = undoStack->createUndoAction(this, QStringLiteral("Undo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->setShortcutContext(Qt::ApplicationShortcut);
    QAction* redo = undoStack->createRedoAction(this, QStringLiteral("Redo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redo->setShortcutContext(Qt::ApplicationShortcut);
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    AddItem(edit, "Body parameters\tB", QKeySequence(Qt::Key_B),
            [&commands] { commands.BodyParameters(); });
    AddItem(edit, "Adjust active trajectory\tA", QKeySequence(Qt::Key_A),
            [&commands] { commands.AdjustTrajectory(); });
    AddItem(edit, "Delete active trajectory or element\tDel", QKeySequence(Qt::Key_Delete),
            [&commands] { commands.DeleteSelected(); });
    AddItem(edit, "Delete all trajectories and elements", {}, [this] { view->OnDeleteAll(); });
    edit->addSeparator();
    AddItem(edit, "Place points\tC", QKeySequence(Qt::Key_C), [this] { view->OnPlacePoints(); });
}

void MainWindow::BuildViewMenu() {
    CaseView* v = view;
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&View"));
    AddItem(menu, "Data summary\tD", QKeySequence(Qt::Key_D),
            [v] { v->GetCommands().DataSummary(); });
    menu->addSeparator();
    // The standard views and the lighting steps answer typed characters (the view handles
    // them), so these items carry no key of their own: "F" with Shift or Caps Lock does nothing.
    AddItem(menu, "Profile\tP", {}, [v] { v->OnViewProfile(); });
    AddItem(menu, "Front\tF", {}, [v] { v->OnViewFront(); });
    AddItem(menu, "Back\tK", {}, [v] { v->OnViewBack(); });
    AddItem(menu, "Right\tR", {}, [v] { v->OnViewRight(); });
    AddItem(menu, "Left\tL", {}, [v] { v->OnViewLeft(); });
    AddItem(menu, "Top\tT", {}, [v] { v->OnViewTop(); });
    menu->addSeparator();
    AddItem(menu, "Increase body lighting\t+", {}, [v] { v->OnIncreaseBodyLighting(); });
    AddItem(menu, "Decrease body lighting\t-", {}, [v] { v->OnDecreaseBodyLighting(); });
    menu->addSeparator();
    AddItem(menu, "ToggleText\tE", QKeySequence(Qt::Key_E), [v] { v->OnToggleText(); });
    AddItem(menu, "Toggle axes\tX", QKeySequence(Qt::Key_X), [v] { v->OnToggleAxes(); });
    AddItem(menu, "Toggle front grid\tG", QKeySequence(Qt::Key_G), [v] { v->OnToggleFrontGrid(); });
    AddItem(menu, "Toggle lateral grid\tAlt+G", QKeySequence(Qt::ALT | Qt::Key_G),
            [v] { v->OnToggleLateralGrid(); });
    AddItem(menu, "Toggle body transparency\tY", QKeySequence(Qt::Key_Y),
            [v] { v->OnToggleBodyTransparency(); });
    landmarksAction = AddItem(menu, "Show landmarks\tW", QKeySequence(Qt::Key_W), [this, v] {
        v->OnToggleLandmarks();
        landmarksAction->setChecked(v->GetScene().GetShowLandmarks());
    });
    landmarksAction->setCheckable(true);
    QAction* cones = AddItem(menu, "Show uncertainty cones\tU", QKeySequence(Qt::Key_U),
                             [v] { v->OnToggleUncertaintyCones(); });
    cones->setCheckable(true);
    cones->setChecked(v->GetShowUncertaintyCones());
    menu->addSeparator();
    QAction* statusBarItem = menu->addAction(QStringLiteral("&Status Bar"));
    statusBarItem->setCheckable(true);
    statusBarItem->setChecked(true);
    connect(statusBarItem, &QAction::toggled, this,
            [this](bool shown) { statusBar()->setVisible(shown); });
}

void MainWindow::BuildHelpMenu() {
    CaseView* v = view;
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddItem(help, "Contents\tF1", QKeySequence(Qt::Key_F1), [v] { v->OnHelpContents(); });
    AddItem(help, "Kestrane website", {}, [v] { v->OnWebsite(); });
    help->addSeparator();
    aboutAction = AddItem(help, "&About Ruvo...", {}, [v] { v->OnAbout(); });
    aboutAction->setStatusTip(QStringLiteral("About the program"));
}

void MainWindow::BuildHiddenAccelerators() {
    // Keys without a menu item: M for Body movements, and Ctrl+N, the new-document key.
    auto* movements = new QAction(this);
    movements->setShortcut(QKeySequence(Qt::Key_M));
    movements->setShortcutContext(Qt::ApplicationShortcut);
    connect(movements, &QAction::triggered, this, [this] { view->GetCommands().BodyMovements(); });
    addAction(movements);
    auto* newDocument = new QAction(this);
    newDocument->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    newDocument->setShortcutContext(Qt::ApplicationShortcut);
    connect(newDocument, &QAction::triggered, this, [this] {
        if (session->MaySetAside()) {
            document->NewDocument();
        }
    });
    addAction(newDocument);
}

void MainWindow::BuildToolBar() {
    QToolBar* toolBar = addToolBar(QStringLiteral("Standard"));
    toolBar->setObjectName(QStringLiteral("Standard"));
    toolBar->setIconSize(QSize(16, 15));
    toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    newTrajectoryAction->setIcon(NewTrajectoryIcon());
    openDataAction->setIcon(OpenDataIcon());
    saveDataAction->setIcon(SaveDataIcon());
    aboutAction->setIcon(AboutIcon());
    toolBar->addAction(newTrajectoryAction);
    toolBar->addAction(openDataAction);
    toolBar->addAction(saveDataAction);
    toolBar->addSeparator();
    toolBar->addAction(aboutAction);
    auto* noToolTips = new NoToolTips(toolBar);
    for (QToolButton* button : toolBar->findChildren<QToolButton*>()) {
        button->installEventFilter(noToolTips);
    }
}

void MainWindow::BuildStatusBar() {
    // The idle text is a normal widget, so a command's prompt hides it while shown.
    messagePane = new QLabel(QStringLiteral("For Help, press F1"));
    statusBar()->addWidget(messagePane, 1);
    connect(view, &CaseView::statusMessage, this, [this](const QString& text) {
        if (text.isEmpty()) {
            statusBar()->clearMessage();
        } else {
            statusBar()->showMessage(text);
        }
    });
    for (int index = 0; index < 3; ++index) {
        auto* indicator = new QLabel;
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(
            indicator->fontMetrics().horizontalAdvance(kIndicatorTexts[index]) + 8);
        statusBar()->addPermanentWidget(indicator);
        indicators[index] = indicator;
    }
    indicatorTimer = new QTimer(this);
    connect(indicatorTimer, &QTimer::timeout, this, &MainWindow::UpdateIndicators);
    indicatorTimer->start(kIndicatorPollMs);
    UpdateIndicators();
}

void MainWindow::UpdateIndicators() {
    const LockKeyState state = QueryLockKeyState();
    const bool on[3] = {state.capsLock, state.numLock, state.scrollLock};
    for (int index = 0; index < 3; ++index) {
        // Where the platform does not report the locks, the labels are always shown.
        const bool shown = !state.known || on[index];
        indicators[index]->setText(shown ? QString::fromLatin1(kIndicatorTexts[index]) : QString());
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QString> files = LocalFiles(event->mimeData());
    event->acceptProposedAction();
    // Opened once the drop has finished, so that a message about a file does not hold up the
    // program that dragged it.
    QTimer::singleShot(0, this, [this, files] { OpenFiles(files); });
}

void MainWindow::OpenFiles(const QList<QString>& files) {
    for (const QString& file : files) {
        document->Open(file);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!session->MaySetAside()) {
        event->ignore();
        return;
    }
    session->Closing();
    QMainWindow::closeEvent(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Keys typed while the view does not have the focus still reach it.
    if (!view->HandleKey(event)) {
        QMainWindow::keyPressEvent(event);
    }
}
