#pragma once

#include "ui/CaseView.h"

#include <QMainWindow>

#include <memory>

class CaseSession;
class Document;
class Platform;
class QAction;
class QLabel;
class QTimer;
class QUndoStack;
class Case;

// The main window: a fixed title, the menu bar, the toolbar, the status bar with the lock
// indicators, and the one 3-D view. Files dropped on it are opened as the document.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // `makeRenderer` draws the view; empty for the OpenGL renderer (tests pass their own).
    MainWindow(Case& scene, Platform& platform, QWidget* parent = nullptr,
               CaseView::RendererFactory makeRenderer = {});
    ~MainWindow() override;

    CaseView& GetView() { return *view; }
    // The undo history of the case: every edit of the scene, in order.
    QUndoStack& GetUndoStack() { return *undoStack; }
    // Unsaved changes, the recovery file and the recent files.
    CaseSession& GetSession() { return *session; }
    Document& GetDocument() { return *document; }
    // The message pane's idle text and the three lock indicators, left to right.
    QLabel& GetMessagePane() { return *messagePane; }
    QLabel& GetIndicator(int index) { return *indicators[index]; }
    // Opens each file as the document, in order, as a drop on the window does.
    void OpenFiles(const QList<QString>& files);
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
    void BuildMenus();
    void BuildFileMenu();
    void FillRecentFilesMenu();
    void BuildEditMenu();
    void BuildViewMenu();
    void BuildHelpMenu();
    void BuildHiddenAccelerators();
    void BuildToolBar();
    void BuildStatusBar();
    QAction* AddItem(QMenu* menu, const QString& text, const QKeySequence& shortcut,
                     const std::function<void()>& handler);

    CaseView* view;
    Case& scene;
    QUndoStack* undoStack;
    CaseSession* session;
    std::unique_ptr<Document> document;
    QMenu* recentFilesMenu = nullptr;
    QAction* newTrajectoryAction = nullptr;
    QAction* openDataAction = nullptr;
    QAction* saveDataAction = nullptr;
    QAction* aboutAction = nullptr;
    QAction* landmarksAction = nullptr;
    QLabel* messagePane = nullptr;
    QLabel* indicators[3] = {};
    QTimer* indicatorTimer = nullptr;
};
