#pragma once

#include "ScriptedPlatform.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/CaseCommands.h"
#include "ui/CaseView.h"
#include "ui/CommandSet.h"
#include "ui/MainWindow.h"
#include "ui/PointPlacement.h"
#include "view/ViewState.h"

#include <QApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QTest>

#include <cmath>
#include <memory>
#include <numbers>

#include <gtest/gtest.h>

// The real main window on a case of its own, answered by the scripted platform, shown and with its
// drawing set up (the default models read from ./data/default, the front view).
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        theCase = std::make_unique<Case>();
        editor = std::make_unique<CaseEditor>(*theCase);
        viewState = std::make_unique<ViewState>();
        viewState->ViewFront();
        const Status loaded = theCase->LoadModels();
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        frame = std::make_unique<MainWindow>(*editor, *viewState, platform);
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
    // The case the window shows; the test changes it directly, as a file or a dialog would.
    Case& TheCase() { return *theCase; }
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

    // A full arrow from (-0.3, 1, 0.5) to (0.3, 1, 0.5), selected as number n.
    Trajectory& AddTrajectory() {
        Trajectory* trajectory = theCase->AddTrajectory(1);
        trajectory->SetPoints(-0.3, 1.0, 0.5, 0.3, 1.0, 0.5);
        trajectory->SetColor(1, 0, 0);
        return *trajectory;
    }

    // A 20 cm element at (x, y, z).
    Element& AddElement(double x, double y, double z) {
        auto element = std::make_unique<Element>();
        element->Set(x, y, z, 0, 0, 0);
        element->SetWidth(0.2);
        element->SetHeight(0.2);
        element->SetLength(0.2);
        element->SetBounds(-0.1, -0.1, -0.1, 0.1, 0.1, 0.1);
        Element& added = *element;
        theCase->GetElements().Add(std::move(element));
        return added;
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
    std::unique_ptr<Case> theCase;
    std::unique_ptr<CaseEditor> editor;
    std::unique_ptr<ViewState> viewState;
    std::unique_ptr<MainWindow> frame;
};
