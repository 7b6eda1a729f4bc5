#include "ui/FocusRestorer.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>

FocusRestorer::FocusRestorer(QWidget* theMainWindow)
    : QObject(theMainWindow), mainWindow(theMainWindow) {
    if (auto* frame = qobject_cast<QMainWindow*>(theMainWindow)) {
        menuBar = frame->menuBar();
        view = frame->centralWidget();
    }
    qApp->installEventFilter(this);
}

bool FocusRestorer::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const bool menu = qobject_cast<QMenu*>(widget) != nullptr;
        const bool modalWindow = widget->isWindow() && widget != mainWindow && widget->isModal();
        if (type == QEvent::Show && widget == mainWindow) {
            // Once shown; the platform hands the keyboard over when the window is on screen.
            QTimer::singleShot(
                0, this, [this, window = QPointer<QWidget>(widget)] { TakeKeyboard(window); });
        } else if (type == QEvent::Hide && (modalWindow || menu)) {
            // After the hide has been handled, when the closed window's own focus change is done.
            QTimer::singleShot(0, this, &FocusRestorer::RestoreIfNobodyHasTheKeyboard);
            if (menu) {
                QTimer::singleShot(0, this, &FocusRestorer::LeaveMenuBarIfItKeptTheKeyboard);
            }
        }
    } else if (type == QEvent::FocusOut && menuBar != nullptr && watched == menuBar.data()) {
        QTimer::singleShot(0, this, &FocusRestorer::GiveViewTheKeyboardIfNobodyHasIt);
    }
    return QObject::eventFilter(watched, event);
}

void FocusRestorer::TakeKeyboard(QWidget* window) {
    if (window == nullptr || !window->isVisible()) {
        return;
    }
    // A window blocked by a modal one keeps out of the way; the modal one takes the keyboard.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != window) {
        return;
    }
    window->activateWindow();
}

void FocusRestorer::RestoreIfNobodyHasTheKeyboard() {
    if (mainWindow->isVisible() && QApplication::activeModalWidget() == nullptr &&
        QApplication::activePopupWidget() == nullptr && QGuiApplication::focusWindow() == nullptr) {
        mainWindow->activateWindow();
    }
}

void FocusRestorer::LeaveMenuBarIfItKeptTheKeyboard() {
    QMenuBar* bar = menuBar;
    if (bar == nullptr || !bar->hasFocus() || QApplication::activePopupWidget() != nullptr) {
        return; // no menu bar walk, or the walk moved on to the next menu
    }
    // Esc on the menu bar, with no menu open, ends its keyboard walk.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(bar, &escape);
    GiveViewTheKeyboardIfNobodyHasIt();
}

void FocusRestorer::GiveViewTheKeyboardIfNobodyHasIt() {
    QWidget* focus = QApplication::focusWidget();
    if (view != nullptr && mainWindow->isActiveWindow() &&
        QApplication::activePopupWidget() == nullptr &&
        (focus == nullptr || focus == menuBar.data())) {
        view->setFocus(Qt::OtherFocusReason);
    }
}
