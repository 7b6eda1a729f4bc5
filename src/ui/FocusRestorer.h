#pragma once

#include <QObject>

class QWidget;

// Gives the keyboard back to the main window when one of the program's modal windows (a dialog,
// a chooser, a message box, the context menu) closes and no window of the program has it. A window
// manager normally does this; without one (a bare X server) the plain-letter keys would reach
// nothing until the user clicked the window again.
class FocusRestorer : public QObject {
    Q_OBJECT

public:
    explicit FocusRestorer(QWidget* mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RestoreIfNobodyHasTheKeyboard();

    QWidget* mainWindow;
};
