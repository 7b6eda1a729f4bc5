#pragma once

#include "base/Status.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "mesh/ArrowModels.h"
#include "ui/CaseView.h"
#include "view/ViewState.h"

#include <QString>

#include <memory>

class MainWindow;
class Platform;

// The desktop program: it holds the open case with its editor, the arrows the trajectories are
// drawn with and what the view shows, reads the default models, creates the main window, waits for
// the view's drawing to be set up, offers a case a crash left unsaved, opens the file named on the
// command line, and runs until the window closes.
class Application {
public:
    // `makeRenderer` draws the view; empty for the OpenGL renderer (tests pass their own).
    explicit Application(Platform& platform,
                         DefaultModelFiles models = DefaultModelFiles::Located(),
                         CaseView::RendererFactory makeRenderer = {});
    ~Application();

    // Everything up to the running event loop. Returns false, having said why, when the program
    // must end (a default model could not be read); the exit status is then 1.
    bool InitInstance(const QString& documentFile);
    // Runs the event loop; returns the exit status.
    int Run(const QString& documentFile);

    const Case& GetCase() const { return theCase; }
    const CaseEditor& GetEditor() const { return editor; }
    const ArrowModels& GetArrows() const { return arrows; }
    ViewState& GetViewState() { return view; }
    MainWindow* GetMainWindow() { return window.get(); }

private:
    bool WaitForDrawingSetup();
    // Reads both arrows and the default body into the case; every model is tried, so that one
    // missing file does not hide the others, and the first failure is returned.
    Status LoadDefaultModels();

    Platform& platform;
    DefaultModelFiles models;
    CaseView::RendererFactory makeRenderer;
    ArrowModels arrows;
    Case theCase;
    CaseEditor editor{theCase};
    ViewState view;
    std::unique_ptr<MainWindow> window;
};
