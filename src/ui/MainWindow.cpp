#include "ui/MainWindow.h"

#include "base/AppInfo.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/AppIcons.h"
#include "ui/CaseCommands.h"
#include "ui/CaseSession.h"
#include "ui/CaseView.h"
#include "ui/CtSeriesCommands.h"
#include "ui/CtSliceDock.h"
#include "ui/EditCommand.h"
#include "ui/FocusRestorer.h"
#include "ui/ImageCapture.h"
#include "ui/LockKeyState.h"
#include "ui/PointPicking.h"
#include "ui/PosturePanel.h"
#include "ui/SceneCommands.h"
#include "ui/WindowTitle.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
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

MainWindow::MainWindow(CaseEditor& theEditor, ViewState& view, const ArrowModels& arrows,
                       Platform& platform, QWidget* parent, CaseView::RendererFactory makeRenderer)
    : QMainWindow(parent), editor(theEditor),
      caseView(new CaseView(theEditor, view, arrows, std::move(makeRenderer))),
      undoStack(new QUndoStack(this)),
      session(new CaseSession(theEditor, platform, *undoStack, this)),
      posturePanel(new PosturePanel(theEditor, this)) {
    // The title shows "*" while the case has changes that are not saved, and nothing else.
    setWindowTitle(FrameTitle() + QStringLiteral("[*]"));
    theEditor.SetRecorder([this, &theEditor](std::unique_ptr<CaseEdit> edit) {
        undoStack->push(new EditCommand(theEditor, std::move(edit)));
    });
    connect(undoStack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    setWindowIcon(ApplicationIcon());
    setCentralWidget(caseView);
    // Message boxes and choosers of the commands belong to the view.
    caseCommands = std::make_unique<CaseCommands>(
        theEditor, view, arrows, platform, caseView, [this] { caseView->Redraw(); },
        [this] { return caseView->CaptureView(SavedImageShowsSelection()); });
    caseCommands->SetSession(session);
    caseCommands->SetDataFileListener([this] { UpdateTitle(); });
    titleListener = theEditor.AddListener([this](const CaseChange&) {
        UpdateTitle();
        UpdateBodyKind();
    });
    session->SetSaveCommand([this] { return caseCommands->Save(); });
    pointPicking = std::make_unique<PointPicking>(
        theEditor, view, *caseCommands,
        [this](const QString& text) { emit caseView->statusMessage(text); },
        [this] { caseView->Redraw(); });
    commandSet = new CommandSet(
        {theEditor, view, *caseView, *caseCommands, *pointPicking, *session, *undoStack, platform},
        {[this] { close(); }, [this](bool shown) { statusBar()->setVisible(shown); },
         [this](bool shown) { posturePanel->setVisible(shown); }},
        this);
    caseView->Attach(*commandSet, *pointPicking);
    sceneCommands = new SceneCommands(
        theEditor, view, platform, [this] { caseView->Redraw(); }, this);
    sceneCommands->WatchClicksOn(caseView);
    connect(sceneCommands, &SceneCommands::statusMessage, caseView, &CaseView::statusMessage);
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    BuildPosturePanel();
    BuildSliceDock(view);
    UpdateBodyKind();
    setAcceptDrops(true);
    new FocusRestorer(this); // owned by the window
    move(50, 50);
    resize(800, 600);
    caseView->setFocus();
}

MainWindow::~MainWindow() {
    // The case outlives the window; its edits must no longer reach this history, and the
    // history's clearing on destruction is not a return to the saved case.
    editor.SetRecorder({});
    editor.RemoveListener(titleListener);
    undoStack->blockSignals(true);
}

void MainWindow::UpdateTitle() {
    const QString title = CaseWindowTitle(FrameTitle(), caseCommands->GetDataFile(),
                                          editor.GetCase().info, CtBodyText(editor.GetCase().ct));
    if (title != windowTitle()) {
        setWindowTitle(title);
    }
}

void MainWindow::UpdateBodyKind() {
    if (commandSet == nullptr || bodyNote == nullptr) {
        return; // still being built; called once the window is whole
    }
    const CaseCt& ct = editor.GetCase().ct;
    const bool scanned = ct.IsCtBody();
    const QString reason = scanned ? CtPostureReason() : QString();
    for (const Command command : {Command::PosturePanel, Command::AlignWounds}) {
        QAction* action = commandSet->Action(command);
        action->setEnabled(!scanned);
        action->setToolTip(reason); // empty: Qt's own, the item's text
        action->setStatusTip(reason);
    }
    if (scanned) {
        posturePanel->hide();
    }
    posturePanel->setEnabled(!scanned);
    bodyNote->setText(CtBodyText(ct));
    bodyNote->setToolTip(reason);
    bodyNote->setVisible(scanned);
    if (scanned && !showingCtBody) {
        statusBar()->showMessage(reason);
    }
    showingCtBody = scanned;
}

bool MainWindow::OpenCtSeriesFolder(const QString& folder) {
    return caseCommands->OpenCtSeriesFolder(QFileInfo(folder).absoluteFilePath());
}

QString MainWindow::FrameTitle() {
    const AppInfo& info = GetAppInfo();
    return QString::fromStdString(info.domain + " - " + info.title + " " + info.version);
}

void MainWindow::AddActions(QMenu* menu, std::initializer_list<Command> commands) {
    for (const Command command : commands) {
        menu->addAction(commandSet->Action(command));
    }
}

void MainWindow::BuildMenus() {
    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildBodyMenu();
    menuBar()->addMenu(sceneCommands->Menu());
    BuildHelpMenu();
}

void MainWindow::BuildFileMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    AddActions(file, {Command::NewCase});
    file->addSeparator();
    AddActions(file, {Command::NewTrajectory, Command::NewElement});
    file->addSeparator();
    AddActions(file, {Command::OpenDataFile, Command::OpenBodyFile, Command::OpenCtSeries,
                      Command::CarryToPosableBody});
    file->addSeparator();
    AddActions(file, {Command::Save, Command::SaveDataFile, Command::SaveImage,
                      Command::SelectionInSavedImage, Command::ExportReport, Command::ExportScene});
    file->addSeparator();
    AddActions(file, {Command::CaseInformation});
    file->addSeparator();
    recentFilesMenu = file->addMenu(QStringLiteral("Recent data files"));
    recentFilesMenu->setObjectName(QStringLiteral("recentFilesMenu"));
    FillRecentFilesMenu();
    connect(session, &CaseSession::recentFilesChanged, this, &MainWindow::FillRecentFilesMenu);
    file->addSeparator();
    AddActions(file, {Command::Exit});
}

void MainWindow::FillRecentFilesMenu() {
    recentFilesMenu->clear();
    const QStringList entries = session->GetRecentFiles().Entries();
    CaseCommands& commands = *caseCommands;
    for (int index = 0; index < entries.size(); ++index) {
        const QString& path = entries[index];
        const QString text =
            QStringLiteral("&%1 %2").arg(index + 1).arg(QDir::toNativeSeparators(path));
        recentFilesMenu->addAction(text, this,
                                   [&commands, path] { commands.OpenRecentDataFile(path); });
    }
    recentFilesMenu->setEnabled(!entries.isEmpty());
}

void MainWindow::BuildEditMenu() {
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    AddActions(edit, {Command::Undo, Command::Redo});
    edit->addSeparator();
    AddActions(edit, {Command::BodyParameters, Command::AdjustTrajectory, Command::EditTrajectory,
                      Command::DeleteSelected, Command::DeleteAll});
    edit->addSeparator();
    AddActions(edit, {Command::PlacePoints});
}

void MainWindow::BuildViewMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&View"));
    viewMenu = menu;
    AddActions(menu, {Command::DataSummary});
    menu->addSeparator();
    AddActions(menu, {Command::ViewProfile, Command::ViewFront, Command::ViewBack,
                      Command::ViewRight, Command::ViewLeft, Command::ViewTop});
    menu->addSeparator();
    AddActions(menu, {Command::IncreaseLighting, Command::DecreaseLighting});
    menu->addSeparator();
    AddActions(menu, {Command::ToggleText, Command::ToggleAxes, Command::ToggleFrontGrid,
                      Command::ToggleLateralGrid, Command::ToggleBodyTransparency,
                      Command::ShowLandmarks, Command::ShowUncertaintyCones});
    menu->addSeparator();
    AddActions(menu, {Command::ShowStatusBar});
}

void MainWindow::BuildBodyMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Body"));
    menu->setToolTipsVisible(true); // why posing is off for a CT body
    AddActions(menu, {Command::PosturePanel, Command::AlignWounds, Command::UncertaintyBudget});
}

void MainWindow::BuildPosturePanel() {
    // Beside the view, never over the body; shown by M and the Body menu, closed by its own box.
    addDockWidget(Qt::RightDockWidgetArea, posturePanel);
    posturePanel->hide();
    connect(posturePanel->toggleViewAction(), &QAction::toggled,
            commandSet->Action(Command::PosturePanel), &QAction::setChecked);
}

void MainWindow::BuildSliceDock(ViewState& view) {
    // Beside the view while the case's body comes from a CT scan: it shows itself when a scan
    // comes and goes with it; its close box hides it until the next scan.
    sliceDock = new CtSliceDock(editor, view, *pointPicking, this);
    addDockWidget(Qt::RightDockWidgetArea, sliceDock);
    sliceDock->setVisible(sliceDock->HasScan());
    connect(sliceDock, &CtSliceDock::scanChanged, sliceDock, &QWidget::setVisible);
    // Once closed, the dock comes back from the View menu; there is nothing to show without a
    // scan.
    QAction* showSlices = sliceDock->toggleViewAction();
    showSlices->setText(QStringLiteral("CT slices"));
    showSlices->setEnabled(sliceDock->HasScan());
    connect(sliceDock, &CtSliceDock::scanChanged, showSlices, &QAction::setEnabled);
    viewMenu->addSeparator();
    viewMenu->addAction(showSlices);
    connect(sliceDock, &CtSliceDock::statusMessage, caseView, &CaseView::statusMessage);
    connect(caseView, &CaseView::metalClicked, sliceDock, &CtSliceDock::PlaceAtMetal);
    connect(caseView, &CaseView::picked, sliceDock, &CtSliceDock::FollowSelection);
}

void MainWindow::BuildHelpMenu() {
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddActions(help, {Command::HelpContents, Command::Website});
    help->addSeparator();
    AddActions(help, {Command::About});
}

void MainWindow::BuildToolBar() {
    QToolBar* toolBar = addToolBar(QStringLiteral("Standard"));
    toolBar->setObjectName(QStringLiteral("Standard"));
    toolBar->setIconSize(QSize(16, 15));
    toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar->addAction(commandSet->Action(Command::NewTrajectory));
    toolBar->addAction(commandSet->Action(Command::OpenDataFile));
    toolBar->addAction(commandSet->Action(Command::SaveDataFile));
    toolBar->addSeparator();
    toolBar->addAction(commandSet->Action(Command::About));
    auto* noToolTips = new NoToolTips(toolBar);
    for (QToolButton* button : toolBar->findChildren<QToolButton*>()) {
        button->installEventFilter(noToolTips);
    }
}

void MainWindow::BuildStatusBar() {
    // The idle text is a normal widget, so a command's prompt hides it while shown.
    messagePane = new QLabel(QStringLiteral("For Help, press F1"));
    statusBar()->addWidget(messagePane, 1);
    bodyNote = new QLabel;
    bodyNote->setObjectName(QStringLiteral("bodyNote"));
    bodyNote->hide();
    statusBar()->addPermanentWidget(bodyNote);
    connect(caseView, &CaseView::statusMessage, this, [this](const QString& text) {
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
        caseCommands->OpenDocument(QFileInfo(file).absoluteFilePath());
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
    if (!caseView->HandleKey(event)) {
        QMainWindow::keyPressEvent(event);
    }
}
