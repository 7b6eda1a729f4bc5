#include "ui/FocusRestorer.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <QWidget>

FocusRestorer::FocusRestorer(QWidget* mainWindow) : QObject(mainWindow), mainWindow(mainWindow) {
    qApp->installEventFilter(this);
}

bool FocusRestorer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const bool modalWindow = widget->isWindow() && widget != mainWindow &&
                                 (widget->isModal() || qobject_cast<QMenu*>(widget) != nullptr);
        if (modalWindow) {
            // After the hide has been handled, when the closed window's own focus change is done.
            QTimer::singleShot(0, this, &FocusRestorer::RestoreIfNobodyHasTheKeyboard);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FocusRestorer::RestoreIfNobodyHasTheKeyboard() {
    if (mainWindow->isVisible() && QApplication::activeModalWidget() == nullptr &&
        QApplication::activePopupWidget() == nullptr && QGuiApplication::focusWindow() == nullptr) {
        mainWindow->activateWindow();
    }
}
