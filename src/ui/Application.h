#pragma once

#include "ui/CaseView.h"

#include <QString>

#include <memory>

class MainWindow;
class Platform;
class Case;

// Starts the desktop program: records where it was started, creates the main window with its
// view, waits for the view's drawing to be set up (which reads the default models), opens the
// file named on the command line, and runs until the window closes.
class Application {
public:
    // `makeRenderer` draws the view; empty for the OpenGL renderer (tests pass their own).
    Application(Case& scene, Platform& platform, CaseView::RendererFactory makeRenderer = {});
    ~Application();

    // Everything up to the running event loop. Returns false, having said why, when the program
    // must end (a default model could not be read); the exit status is then 1.
    bool InitInstance(const QString& documentFile);
    // Runs the event loop; returns the exit status.
    int Run(const QString& documentFile);

    MainWindow* GetMainFrame() { return frame.get(); }

private:
    bool WaitForDrawingSetup();

    Case& scene;
    Platform& platform;
    CaseView::RendererFactory makeRenderer;
    std::unique_ptr<MainWindow> frame;
};
