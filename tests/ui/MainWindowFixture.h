#pragma once

#include "ScriptedPlatform.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "mesh/ArrowModels.h"
#include "ui/CaseCommands.h"
#include "ui/CaseView.h"
#include "ui/CommandSet.h"
#include "ui/MainWindow.h"
#include "ui/PointPicking.h"
#include "view/ViewState.h"

#include <QApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

#include <gtest/gtest.h>

// The real main window on a case of its own, answered by the scripted platform, shown and with its
// drawing set up (the default models read from ./data/default, the front view).
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        theCase = std::make_unique<Case>();
        const DefaultModelFiles models;
        const Status arrowsRead = arrows.Load(models.arrow, models.halfArrow);
        ASSERT_TRUE(arrowsRead.ok()) << arrowsRead.message();
        const Status loaded = theCase->body.Load(models.body);
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        theCase->bodyModelFile = models.body;
        editor = std::make_unique<CaseEditor>(*theCase);
        viewState = std::make_unique<ViewState>();
        viewState->ViewFront();
        frame = std::make_unique<MainWindow>(*editor, *viewState, arrows, platform);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        QDeadlineTimer deadline(30000);
        while (View().GetContextState() == CaseView::ContextState::Pending &&
               !deadline.hasExpired()) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        ASSERT_EQ(View().GetContextState(), CaseView::ContextState::Ready);
        QCursor::setPos(0, 0); // keep the real pointer away from the view
        frame->activateWindow();
        View().setFocus();
        QApplication::processEvents();
    }

    void TearDown() override {
        frame.reset();
        editor.reset();
        viewState.reset();
        theCase.reset();
    }

    CaseView& View() { return frame->GetView(); }
    // The case the window shows; the test changes it directly, as a file or a dialog would, and
    // then calls Posed() so that the editor poses it again.
    Case& TheCase() { return *theCase; }
    const PosedCase& Posed() {
        editor->Preview();
        return editor->GetPosed();
    }
    Trajectory& TrajectoryNumbered(int number) { return *theCase->TrajectoryNumbered(number); }
    Element& ElementNumbered(int number) { return *theCase->ElementNumbered(number); }
    CaseEditor& Editor() { return *editor; }
    ViewState& TheViewState() { return *viewState; }
    CaseCommands& Commands() { return frame->GetCommands(); }
    void Trigger(Command command) { frame->GetCommandSet().Trigger(command); }

    // Where a world point shows in the view for a camera that is not turned (the front view and
    // its shifts): the frame's 60-degree perspective.
    QPoint Project(double x, double y, double z) {
        const Camera& camera = viewState->GetCamera();
        const double ex = x - camera.GetX();
        const double ey = y - camera.GetY();
        const double ez = z - camera.GetZ();
        const double focal = 1 / std::tan(30 * std::numbers::pi / 180);
        const double width = View().width();
        const double height = View().height();
        const double ndcX = ex / -ez * focal * height / width;
        const double ndcY = ey / -ez * focal;
        return {static_cast<int>(std::lround((ndcX + 1) / 2 * width)),
                static_cast<int>(std::lround((1 - ndcY) / 2 * height))};
    }

    // A full red arrow from (-0.3, 1, 0.5) to (0.3, 1, 0.5), changed by `adjust`, appended to
    // the case (which is posed again); returns its number.
    int AddTrajectory(const std::function<void(Trajectory&)>& adjust = nullptr) {
        Trajectory trajectory;
        trajectory.exited = true;
        trajectory.in = {-0.3, 1.0, 0.5};
        trajectory.out = {0.3, 1.0, 0.5};
        trajectory.color = {1, 0, 0};
        if (adjust) {
            adjust(trajectory);
        }
        theCase->trajectories.push_back(trajectory);
        Posed();
        return theCase->TrajectoryCount();
    }

    // A 20 cm element at (x, y, z), changed by `adjust`, appended to the case; returns its number.
    int AddElement(double x, double y, double z,
                   const std::function<void(Element&)>& adjust = nullptr) {
        Element element;
        element.centre = {x, y, z};
        element.size = {0.2, 0.2, 0.2};
        if (adjust) {
            adjust(element);
        }
        theCase->elements.push_back(element);
        Posed();
        return theCase->ElementCount();
    }

    // A pointer move over the view with the given buttons held, delivered at once.
    void Move(QPoint to, Qt::MouseButtons held = Qt::NoButton) {
        QMouseEvent move(QEvent::MouseMove, to, View().mapToGlobal(to), Qt::NoButton, held,
                         Qt::NoModifier);
        QApplication::sendEvent(&View(), &move);
    }

    // Moves the pointer to `from`, presses the button there, moves to `to` and lets go.
    void Drag(Qt::MouseButton button, QPoint from, QPoint to,
              Qt::KeyboardModifiers releaseModifiers = Qt::NoModifier) {
        Move(from);
        QTest::mousePress(&View(), button, Qt::NoModifier, from);
        Move(to, button);
        QTest::mouseRelease(&View(), button, releaseModifiers, to);
        QApplication::processEvents();
    }

    ScriptedPlatform platform;
    ArrowModels arrows;
    std::unique_ptr<Case> theCase;
    std::unique_ptr<CaseEditor> editor;
    std::unique_ptr<ViewState> viewState;
    std::unique_ptr<MainWindow> frame;
};
