#include "ui/ConcealedDialog.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

namespace {

// A place no screen shows, whatever the arrangement of the screens.
QPoint BeyondEveryScreen(const QWidget& window) {
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens()) {
        desktop = desktop.united(screen->geometry());
    }
    return desktop.bottomRight() +
           QPoint(window.frameGeometry().width() + 100, window.frameGeometry().height() + 100);
}

} // namespace

ConcealedDialog::ConcealedDialog(QWidget& theDialog)
    : dialog(&theDialog), position(theDialog.pos()), opacity(theDialog.windowOpacity()) {
    theDialog.setWindowOpacity(0.0); // enough where windows are composed
    theDialog.move(BeyondEveryScreen(theDialog));
}

ConcealedDialog::~ConcealedDialog() {
    if (!dialog) {
        return;
    }
    dialog->move(position);
    dialog->setWindowOpacity(opacity);
    dialog->raise();
    dialog->activateWindow();
}

QWidget* ConcealedDialog::ChooserOwner() const {
    QWidget* parent = dialog ? dialog->parentWidget() : nullptr;
    return parent ? parent->window() : nullptr;
}
